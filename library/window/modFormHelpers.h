// Form helpers: switching a window's controls off and on (with a snapshot of their states that
// can be restored), the program's manifest, and the folder-browse dialog.
#pragma once

#include <cstdint>
#include <string>

class QObject;

namespace tovcore::detail {

void DisableAllControls(QObject* obj);
void EnableAllControls(QObject* obj);
// Records every control's own enabled state under the window's name (an earlier snapshot of the
// same window stays), then disables every control.
void DisableSaveControls(QObject* obj);
// Gives each control that the snapshot recorded its state back and drops the snapshot; controls
// made since keep their state.
void RestoreSavedControls(QObject* obj);

// The manifest text of a template (101, 102 or 103; any other value takes 101) for an
// executable name (escaped for XML).
std::string ManifestText(const std::string& ExeName, std::int16_t Id);
// Writes PathName & ExeName & ".exe.manifest" and returns that path; "" when it could not be
// written.
std::string CreateManifestFile(const std::string& ExeName, const std::string& PathName, std::int16_t Id);
void InitXPStyles(std::int16_t XMLStyle);

// A modal folder-browse dialog owned by frm, opened on StartFolder and centred on the screen; the
// chosen folder's path, or "" when cancelled.
std::string BrowseFolder(const std::string& StartFolder, QObject* frm);

}  // namespace tovcore::detail
