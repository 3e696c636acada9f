#pragma once
// The IDs the dialog framework itself knows: the dialog manager's commands, the caption of controls that
// need no ID, the application's icon and title. The application's table of IDs under resources/ includes
// these, so the application keeps using them by the same names.

namespace pelmora {

// Commands every dialog knows.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_STATIC = -1;

// The application icon (resources/icons/128.svg), on every dialog's title bar.
constexpr int IDR_MAINFRAME = 128;

// The program's title, for message boxes that name no caption of their own.
constexpr int AFX_IDS_APP_TITLE = 0xE000;

}  // namespace pelmora
