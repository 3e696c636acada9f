#pragma once
// Numeric identifiers of the dialog templates, strings, icon, controls and commands. The dialog
// framework's own (IDOK, IDCANCEL, IDC_STATIC, the icon and the title) come from ui/DialogIds.h.
#include "ui/DialogIds.h"

namespace pelmora {

// Dialog templates (resources/dialogs/<id>.json).
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_MAIN_DIALOG = 102;
constexpr int IDD_EDIT_DIALOG = 134;
constexpr int IDD_WAIT_DIALOG = 135;

// Strings (resources/strings.json).
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_SOCKETS_INIT_FAILED = 103;

// The main window's window-menu command for the About box.
constexpr int IDM_ABOUTBOX = 0x0010;

// Main window, template 102.
constexpr int IDC_DEVICE_LIST = 1110;
constexpr int IDC_EDIT_BUTTON = 1126;
constexpr int IDC_REFRESH_BUTTON = 1108;
constexpr int IDC_WINK_BUTTON = 1118;
// Commands of the main window that no control sends.
constexpr int ID_CLEAR_AND_RESCAN = 1001;
constexpr int ID_RESCAN = 1002;
// The device list's context menu.
constexpr int ID_EXPORT_LIST = 1003;

// Edit dialog, template 134.
constexpr int IDC_MAC_TEXT = 1111;
constexpr int IDC_DHCP = 1112;
constexpr int IDC_ADDRESS = 1113;
constexpr int IDC_SUBNET_MASK = 1114;
constexpr int IDC_GATEWAY = 1115;
constexpr int IDC_DNS = 1116;
constexpr int IDC_DEVICE_ID = 1117;
constexpr int IDC_NAME = 1118;
constexpr int IDC_DESCRIPTION = 1119;
constexpr int IDC_LOCATION = 1120;
constexpr int IDC_PORT = 1121;
constexpr int IDC_PLA = 1122;
constexpr int IDC_ELA = 1123;
constexpr int IDC_IP_TEXT = 1126;
constexpr int IDC_FOREIGN_DEVICE = 1128;
constexpr int IDC_BBMD_ADDRESS = 1129;
constexpr int IDC_DEBUG = 1130;

// Wait dialog, template 135.
constexpr int IDC_PROGRESS = 1127;

}  // namespace pelmora
