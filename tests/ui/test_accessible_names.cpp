// What a screen reader hears: every control of the four dialogs has a name, taken from the label beside it
// where it has no caption of its own.
#include "resources/ResourceIds.h"
#include "tests/ui/RecordingDialog.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtAccessibleNames.h"
#include "ui/qt/QtIpAddressCtrl.h"

#include <QtGui/QAccessible>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

QString Spoken(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible != nullptr ? accessible->text(QAccessible::Name) : QString();
}

// Every widget of the dialog but the inner parts of item views (viewport, header, scroll bars), which the
// view speaks for.
std::vector<QWidget*> Controls(const QWidget& dialog) {
    std::vector<QWidget*> controls;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        bool inView = false;
        for (QWidget* up = widget->parentWidget(); up != nullptr && up != &dialog; up = up->parentWidget())
            inView = inView || qobject_cast<QAbstractItemView*>(up) != nullptr;
        if (!inView) controls.push_back(widget);
    }
    return controls;
}

TEST(AccessibleNames, EveryControlOfTheFourDialogsHasOne) {
    for (const int id : {IDD_ABOUTBOX, IDD_MAIN_DIALOG, IDD_EDIT_DIALOG, IDD_WAIT_DIALOG}) {
        test::RecordingDialog dialog(id);
        ASSERT_TRUE(dialog.Window().HasTemplate()) << id;
        dialog.Window().show();
        const std::vector<QWidget*> controls = Controls(dialog.Window());
        EXPECT_GE(controls.size(), dialog.Window().Template().controls.size()) << id;
        for (QWidget* control : controls) {
            EXPECT_FALSE(Spoken(control).trimmed().isEmpty())
                << "template " << id << ": a " << control->metaObject()->className() << " (control "
                << ControlIdOf(control) << ", parent " << ControlIdOf(control->parentWidget()) << ") has no name";
        }
    }
}

TEST(AccessibleNames, ALabelNamesTheControlAfterItAndAnAddressNamesItsFields) {
    test::RecordingDialog edit(IDD_EDIT_DIALOG);
    EXPECT_EQ(Spoken(edit.Window().Control(IDC_DEVICE_ID)), QStringLiteral("Device ID"));
    EXPECT_EQ(Spoken(edit.Window().Control(IDC_BBMD_ADDRESS)), QStringLiteral("BBMD address")) << "no trailing blank";
    EXPECT_EQ(Spoken(edit.Window().Control(IDC_ELA)), QStringLiteral("Station ELA"));
    EXPECT_EQ(Spoken(edit.Window().Control(IDC_DHCP)), QStringLiteral("DHCP")) << "a caption speaks for itself";
    auto* address = edit.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(Spoken(address), QStringLiteral("Address"));
    for (int field = 0; field < QtIpAddressCtrl::FIELD_COUNT; ++field)
        EXPECT_EQ(Spoken(address->Field(field)), QStringLiteral("Address, field %1").arg(field + 1));

    // The mnemonic marker is not spoken; a label that shows '&' as it stands is spoken so.
    std::vector<ControlTemplate> controls(5);
    controls[0].kind = ControlKind::Label;
    controls[0].caption = QStringLiteral("&Save && go ");
    controls[1].kind = ControlKind::Edit;
    controls[2].kind = ControlKind::Edit;  // no label right before it
    controls[3].kind = ControlKind::Label;
    controls[3].caption = QStringLiteral("A&B");
    controls[3].flags = CF_NOPREFIX;
    controls[4].kind = ControlKind::IpAddress;
    EXPECT_EQ(AccessibleNameFor(controls, 1), QStringLiteral("Save & go"));
    EXPECT_EQ(AccessibleNameFor(controls, 2), QString());
    EXPECT_EQ(AccessibleNameFor(controls, 4), QStringLiteral("A&B"));
    EXPECT_EQ(AccessibleNameFor(controls, 0), QString()) << "a label speaks its caption itself";
}

}  // namespace
}  // namespace pelmora
