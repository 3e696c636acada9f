#pragma once
// Drives the real edit dialog through EditDevice by control ID, inside its modal run, and watches
// the wait dialog that follows a save.
#include <QtCore/QString>

#include <functional>
#include <memory>
#include <optional>

#include "editing/DialogEdit.h"

namespace pelmora::test {

// What the wait dialog after a save showed before the driver cancelled it.
struct WaitSeen {
    bool shown = false;
    int maximum = -1;
};

struct EditOutcome {
    bool saved = false;                    // what EditDevice returned
    std::shared_ptr<const WaitSeen> wait;  // set by SaveAndCancelWait
};

// Runs EditDevice on a fresh dialog with steps acting on it while it is open. A save expected to pass
// goes through SaveAndCancelWait. If steps leave the dialog open, it is cancelled.
EditOutcome RunEditDialog(DeviceRecord& record, DeviceSet& devices,
                          const std::function<void(CDialogEdit&, EditOutcome&)>& steps);

// Clicks Save, ready for the wait dialog: it is observed, beforeCancel runs while it shows, and it is
// cancelled.
void SaveAndCancelWait(CDialogEdit& dialog, EditOutcome& outcome, std::function<void()> beforeCancel = {});
// Clicks Save, answers the message box it should show, and returns its text (empty: none came).
QString SaveExpectingMessage(CDialogEdit& dialog);

// A mouse click on a button or check box.
void Click(CDialogEdit& dialog, int id);
// Replaces an edit control's text by typing.
void Type(CDialogEdit& dialog, int id, const QString& text);
QString Text(const CDialogEdit& dialog, int id);
bool IsChecked(const CDialogEdit& dialog, int id);
// An address control's contents: nothing when blank, else the address with blank fields as 0.
std::optional<std::uint32_t> Address(const CDialogEdit& dialog, int id);
// Empties the control, or types the address into it.
void SetAddress(CDialogEdit& dialog, int id, std::optional<std::uint32_t> address);

}  // namespace pelmora::test
