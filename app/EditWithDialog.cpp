#include "app/EditWithDialog.h"

#include "editing/DialogEdit.h"

namespace pelmora {

bool EditWithDialog(DeviceRecord* record, DeviceSet* devices) {
    CDialogEdit dialog;
    return dialog.EditDevice(record, devices);
}

}  // namespace pelmora
