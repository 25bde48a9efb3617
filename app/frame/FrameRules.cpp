#include "app/frame/FrameRules.h"

#include <algorithm>

namespace quillet {

MenuStates ComputeMenuStates(const MenuInputs& in) {
    MenuStates s;
    s.menusEnabled = !in.busy;
    s.colorsVisible = in.toolWindowLoaded;
    s.saveEnabled = in.toolWindowLoaded && !in.busy;
    s.lineNumbersEnabled = in.toolWindowLoaded && in.projectLoaded && !in.busy;
    s.printAllEnabled = s.lineNumbersEnabled;
    s.debugLogEnabled = in.debugLogOn && !in.busy;
    s.errorLogEnabled = in.errorLogOn && !in.busy;
    s.runLogEnabled = in.runLogOn && !in.busy;
    return s;
}

std::optional<int> IncrementOfIndex(int index) {
    for (const IncrementItem& item : kIncrementItems)
        if (item.index == index) return item.increment;
    return std::nullopt;
}

int ClampRecentMax(int stored) { return std::clamp(stored, 0, kRecentProjectLimit); }

std::vector<std::string> RecentFromStored(const std::vector<std::string>& stored, int max) {
    std::vector<std::string> out;
    for (const std::string& p : stored) {
        if (static_cast<int>(out.size()) >= max) break;
        if (!p.empty()) out.push_back(p);
    }
    return out;
}

std::vector<std::string> PutAtHead(const std::vector<std::string>& list, const std::string& current, int max) {
    std::vector<std::string> out;
    if (!current.empty()) out.push_back(current);
    for (const std::string& p : list)
        if (!p.empty() && p != current) out.push_back(p);
    if (static_cast<int>(out.size()) > max) out.resize(static_cast<std::size_t>(std::max(0, max)));
    return out;
}

std::string MenuText(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

}  // namespace quillet
