#include "app/CAboutDlg.h"

#include "resources/ResourceIds.h"

namespace pelmora {

CAboutDlg::CAboutDlg() : TemplateDialog(IDD_ABOUTBOX) {}

}  // namespace pelmora
