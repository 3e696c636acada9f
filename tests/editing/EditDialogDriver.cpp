#include "tests/editing/EditDialogDriver.h"

#include <QtTest/QTest>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

#include <gtest/gtest.h>

#include "editing/DlgWait.h"
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtIpAddressCtrl.h"

namespace pelmora::test {

EditOutcome RunEditDialog(DeviceRecord& record, DeviceSet& devices,
                          const std::function<void(CDialogEdit&, EditOutcome&)>& steps) {
    EditOutcome outcome;
    CDialogEdit dialog;
    const auto opened = CallOnNextModal([&](QWidget*) {
        steps(dialog, outcome);
        if (dialog.Window().isVisible()) dialog.Window().close();
    });
    outcome.saved = dialog.EditDevice(&record, &devices);
    EXPECT_TRUE(opened->fired) << "the edit dialog did not open";
    return outcome;
}

void SaveAndCancelWait(CDialogEdit& dialog, EditOutcome& outcome, std::function<void()> beforeCancel) {
    auto seen = std::make_shared<WaitSeen>();
    outcome.wait = seen;
    // Arming here, while the edit dialog is the modal one, makes the wait dialog the next modal.
    CallOnNextModal(
        [seen, beforeCancel = std::move(beforeCancel)](QWidget* modal) {
        if (DialogOf<CDlgWait>(modal) == nullptr) return;
        seen->shown = true;
        if (auto* progress = qobject_cast<QProgressBar*>(FindControl(modal, IDC_PROGRESS)))
            seen->maximum = progress->maximum();
        if (beforeCancel) beforeCancel();
        QTest::mouseClick(FindControl(modal, IDCANCEL), Qt::LeftButton);
        },
        10000);
    Click(dialog, IDOK);
}

QString SaveExpectingMessage(CDialogEdit& dialog) {
    const auto box = CallOnNextModal([](QWidget* modal) { CloseModal(modal); });
    Click(dialog, IDOK);
    return box->text;
}

void Click(CDialogEdit& dialog, int id) {
    QWidget* control = FindControl(&dialog.Window(), id);
    ASSERT_NE(control, nullptr) << "control " << id;
    QPoint at = control->rect().center();
    if (auto* box = qobject_cast<QCheckBox*>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, at);
}

void Type(CDialogEdit& dialog, int id, const QString& text) {
    auto* edit = dialog.Window().ControlAs<QLineEdit>(id);
    ASSERT_NE(edit, nullptr) << "edit " << id;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QString Text(const CDialogEdit& dialog, int id) {
    const auto* edit = dialog.Window().ControlAs<QLineEdit>(id);
    return edit != nullptr ? edit->text() : QStringLiteral("<no edit %1>").arg(id);
}

bool IsChecked(const CDialogEdit& dialog, int id) {
    const auto* box = dialog.Window().ControlAs<QCheckBox>(id);
    return box != nullptr && box->isChecked();
}

std::optional<std::uint32_t> Address(const CDialogEdit& dialog, int id) {
    const auto* control = dialog.Window().ControlAs<QtIpAddressCtrl>(id);
    if (control == nullptr || control->IsBlank()) return std::nullopt;
    std::uint32_t value = 0;
    control->GetAddress(value);
    return value;
}

void SetAddress(CDialogEdit& dialog, int id, std::optional<std::uint32_t> address) {
    auto* control = dialog.Window().ControlAs<QtIpAddressCtrl>(id);
    ASSERT_NE(control, nullptr) << "address control " << id;
    if (address) {
        control->SetAddress(*address);
    } else {
        control->ClearAddress();
    }
}

}  // namespace pelmora::test
