#include "tests/app/support/FakeServices.h"

namespace apptest {

using namespace quillet;

std::int32_t FakeMessageBox::Show(const std::string& prompt, std::int32_t style, const std::string& title,
                                  std::int32_t align) {
    shown.push_back({prompt, style, title, align});
    if (whileShown) {
        const Shown now = shown.back();
        whileShown(now);
    }
    if (!answers.empty()) {
        const std::int32_t a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (style & 7) {
        case vbAbortRetryIgnore: return kAbort;
        case vbYesNoCancel:
        case vbYesNo: return kYes;
        case vbRetryCancel: return kRetry;
        default: return kOk;
    }
}

std::vector<std::string> FakeMessageBox::Prompts() const {
    std::vector<std::string> out;
    for (const Shown& s : shown) out.push_back(s.prompt);
    return out;
}

namespace {
template <typename T>
std::optional<T> Next(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> v = queue.front();
    queue.pop_front();
    return v;
}
}  // namespace

std::optional<std::string> FakeDialogs::OpenFile(QWidget*, const FileDialogRequest& request) {
    requests.push_back({Kind::Open, request, request.title, 0});
    if (whileShown) whileShown(Request(requests.back()));
    return Next(openResults);
}

std::optional<std::string> FakeDialogs::SaveFile(QWidget*, const FileDialogRequest& request) {
    requests.push_back({Kind::Save, request, request.title, 0});
    if (whileShown) whileShown(Request(requests.back()));
    return Next(saveResults);
}

std::optional<std::int32_t> FakeDialogs::ChooseColor(QWidget*, const std::string& title, std::int32_t current) {
    requests.push_back({Kind::Color, {}, title, current});
    if (whileShown) whileShown(Request(requests.back()));
    return Next(colorResults);
}

std::optional<std::string> FakeDialogs::ChooseFolder(QWidget*, const std::string& title, const std::string& start) {
    FileDialogRequest r;
    r.folder = start;
    requests.push_back({Kind::Folder, r, title, 0});
    if (whileShown) whileShown(Request(requests.back()));
    return Next(folderResults);
}

bool FakeLauncher::StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    calls.push_back({Kind::Program, program, arguments});
    return succeed;
}

bool FakeLauncher::OpenUrl(const std::string& url) {
    calls.push_back({Kind::Url, url, {}});
    return succeed;
}

bool FakeLauncher::OpenDocument(const std::string& path) {
    calls.push_back({Kind::Document, path, {}});
    return succeed;
}

bool FakeLauncher::OpenInEditor(const std::string& path) {
    calls.push_back({Kind::Editor, path, {}});
    return succeed;
}

}  // namespace apptest
