// The window members of clsTovcore: each forwards to the window routine of the same name.
#include <tovcore/clsTovcore.h>

#include "library/src/LibraryState.h"
#include "library/window/modFormHelpers.h"
#include "library/window/modMsgBox.h"
#include "library/window/modSkin.h"

namespace tovcore {

void clsTovcore::InitXPStyles(std::int16_t XMLStyle) { detail::InitXPStyles(XMLStyle); }
std::string clsTovcore::CreateManifestFile(const std::string& ExeName, const std::string& PathName, std::int16_t Id) {
    return detail::CreateManifestFile(ExeName, PathName, Id);
}

void clsTovcore::EnableAllControls(QObject* obj) { detail::EnableAllControls(obj); }
void clsTovcore::DisableAllControls(QObject* obj) { detail::DisableAllControls(obj); }
void clsTovcore::RestoreSavedControls(QObject* obj) { detail::RestoreSavedControls(obj); }
void clsTovcore::DisableSaveControls(QObject* obj) { detail::DisableSaveControls(obj); }

bool clsTovcore::SkinIt(QObject* obj, std::int32_t ButtonTabColor, std::int32_t ButtonTabTextColor,
                        std::int32_t ButtonTabColorGradient, std::int32_t BackGroundColor,
                        std::int32_t BackColorToGradient, std::int32_t RTFColor, std::int32_t lDirection) {
    detail::State().skin = detail::SkinState{ButtonTabColor, ButtonTabTextColor, ButtonTabColorGradient, BackGroundColor};
    return detail::SkinIt(obj, ButtonTabColor, ButtonTabTextColor, ButtonTabColorGradient, BackGroundColor,
                          BackColorToGradient, RTFColor, lDirection);
}
void clsTovcore::ShowButtonTabColor(QObject* Cntrl, std::int32_t NewColor) { detail::ShowButtonTabColor(Cntrl, NewColor); }
void clsTovcore::ShowButtonTabTextColor(QObject* Cntrl, std::int32_t NewColor) {
    detail::ShowButtonTabTextColor(Cntrl, NewColor);
}
void clsTovcore::ShowFormColor(QObject* objForm, std::int32_t NewColor) { detail::ShowFormColor(objForm, NewColor); }
void clsTovcore::ShowDisplayColor(QObject* obj, std::int32_t NewColor) { detail::ShowDisplayColor(obj, NewColor); }
void clsTovcore::SetListViewBackColor(QObject* Cntrl, std::int32_t BackColor) {
    detail::SetListViewBackColor(Cntrl, BackColor);
}
void clsTovcore::SetTreeViewBackColor(QObject* Cntrl, std::int32_t BackColor) {
    detail::SetTreeViewBackColor(Cntrl, BackColor);
}
std::int32_t clsTovcore::MyMsgBox(const std::string& Prompt, std::int32_t MsgBoxStyle, const std::string& Title,
                                  std::int32_t Align) {
    return detail::MyMsgBox(Prompt, MsgBoxStyle, Title, Align);
}
std::string clsTovcore::BrowseFolder(const std::string& StartFolder, QObject* frm) {
    return detail::BrowseFolder(StartFolder, frm);
}

}  // namespace tovcore
