#include "app/CAboutDlg.h"

#include "resources/ResourceIds.h"

namespace pelmora {

CAboutDlg::CAboutDlg(QWidget* parent) : TemplateDialog(IDD_ABOUTBOX, parent) {}

}  // namespace pelmora
