// show_dialog_win32 <template ID>: one dialog as the Win32 back end builds it, until Escape or the
// close box.
#include "ui/TemplateDialog.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: show_dialog_win32 <template ID>\n", stderr);
        return 2;
    }
    pelmora::TemplateDialog dialog(std::atoi(argv[1]));
    return dialog.DoModal() < 0 ? 1 : 0;
}
