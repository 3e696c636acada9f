#include "app/EditWithDialog.h"

#include "editing/DialogEdit.h"

namespace pelmora {

bool EditWithDialog(DeviceRecord* record, EditHost* host) {
    CDialogEdit dialog;
    return dialog.EditDevice(record, host);
}

}  // namespace pelmora
