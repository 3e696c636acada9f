#pragma once
// The About box, template 100: the application icon, the program's name and its version line.
#include "ui/TemplateDialog.h"

namespace pelmora {

class CAboutDlg : public TemplateDialog {
public:
    CAboutDlg();
};

}  // namespace pelmora
