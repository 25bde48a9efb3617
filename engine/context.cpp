#include "engine/context.h"

#include "platform/text.h"

namespace engine {

std::shared_ptr<const SourceText> LoadContext::Source(const std::string& fileKey) const {
    const auto it = sources_.find(platform::Fold(fileKey));
    return it == sources_.end() ? nullptr : it->second;
}

void LoadContext::KeepSource(const std::string& fileKey, std::shared_ptr<const SourceText> source) {
    sources_[platform::Fold(fileKey)] = std::move(source);
}

}  // namespace engine
