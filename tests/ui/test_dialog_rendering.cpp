// The four templates as the user sees them: every text fits its control with the default font, and a
// PNG of each goes to the build directory for a look.
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "tests/ui/RecordingDialog.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtIpAddressCtrl.h"
#include "ui/qt/QtReportList.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

using test::RecordingDialog;

// Room a text needs inside its control, as the style lays it out.
void ExpectTextsFit(const RecordingDialog& dialog) {
    for (const ControlTemplate& control : dialog.Window().Template().controls) {
        if (control.caption.isEmpty()) continue;
        QWidget* widget = nullptr;
        for (QWidget* child : dialog.Window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (ControlIdOf(child) == control.id && child->geometry() == dialog.Window().MapDialogRect(control.rect)) {
                widget = child;
            }
        }
        ASSERT_NE(widget, nullptr) << control.caption.toStdString();
        const QFontMetrics metrics = widget->fontMetrics();
        const QString name =
            QStringLiteral("%1 %2 \"%3\"").arg(dialog.TemplateId()).arg(control.id).arg(control.caption);
        const int textWidth = metrics.horizontalAdvance(control.caption);
        QSize needed;
        if (qobject_cast<QLabel*>(widget) != nullptr) {
            needed = QSize(textWidth, metrics.height());
        } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            QStyleOptionButton option;
            option.initFrom(box);
            const int indicator = box->style()->pixelMetric(QStyle::PM_IndicatorWidth, &option, box);
            const int spacing = box->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, &option, box);
            needed = QSize(indicator + spacing + textWidth, metrics.height());
        } else if (qobject_cast<QPushButton*>(widget) != nullptr) {
            needed = QSize(textWidth + 8, metrics.height() + 4);
        } else if (qobject_cast<QGroupBox*>(widget) != nullptr) {
            needed = QSize(textWidth + 16, metrics.height());
        } else {
            continue;
        }
        EXPECT_LE(needed.width(), widget->width()) << name.toStdString();
        EXPECT_LE(needed.height(), widget->height()) << name.toStdString();
    }
    for (QLineEdit* edit : dialog.Window().findChildren<QLineEdit*>()) {
        if (qobject_cast<QtIpAddressCtrl*>(edit->parentWidget()) != nullptr) {
            EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QStringLiteral("255")))
                << dialog.TemplateId() << " address field";
        } else {
            EXPECT_GE(edit->height(), edit->fontMetrics().height() + 2) << dialog.TemplateId() << " edit";
        }
    }
}

void Screenshot(RecordingDialog& dialog, const char* name) {
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    const QString path = QStringLiteral(PELMORA_SCREENSHOT_DIR "/%1.png").arg(QString::fromLatin1(name));
    EXPECT_TRUE(test::SaveScreenshot(&dialog.Window(), path)) << path.toStdString();
}

TEST(DialogRendering, AboutBox) {
    RecordingDialog dialog(IDD_ABOUTBOX);
    ExpectTextsFit(dialog);
    Screenshot(dialog, "template100_about");
}

TEST(DialogRendering, MainWindowWithAFilledList) {
    RecordingDialog dialog(IDD_MAIN_DIALOG);
    auto* list = dialog.Window().ControlAs<QtReportList>(IDC_DEVICE_LIST);
    ASSERT_NE(list, nullptr);
    const std::pair<const char*, int> columns[] = {{"Unit", 100},     {"IP address", 90},   {"BACnet", 55},
                                                   {"Device ID", 65}, {"Device Name", 100}, {"PLA", 35},
                                                   {"ELA", 35},       {"Location", 60},     {"Revision", 55}};
    for (const auto& [heading, width] : columns) {
        list->InsertColumn(list->HeaderItemCount(), heading, width);
    }
    const char* rows[][9] = {
        {"00:50:C2:8A:10:01", "192.168.92.92", "Yes", "260001", "AHU-1 gateway", "1", "2", "Plant room", "2.14"},
        {"00:50:C2:8A:10:02", "10.1.2.3", "", "", "", "254", "254", "", "1.07"},
    };
    for (int row = 0; row < 2; ++row) {
        list->InsertItem(row, rows[row][0]);
        for (int column = 1; column < 9; ++column) list->SetItemText(row, column, rows[row][column]);
    }
    list->SelectItem(0);
    ExpectTextsFit(dialog);
    Screenshot(dialog, "template102_main");
}

TEST(DialogRendering, EditDialogEmptyAndFilled) {
    {
        RecordingDialog dialog(IDD_EDIT_DIALOG);
        ExpectTextsFit(dialog);
        Screenshot(dialog, "template134_edit_empty");
    }
    RecordingDialog dialog(IDD_EDIT_DIALOG);
    dialog.Window().ControlAs<QLineEdit>(IDC_MAC_TEXT)->setText(QStringLiteral("00:50:C2:8A:10:01"));
    dialog.Window().ControlAs<QLineEdit>(IDC_IP_TEXT)->setText(QStringLiteral("192.168.92.92"));
    dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS)->SetAddress(0xC0A85C5Cu);
    dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_SUBNET_MASK)->SetAddress(0xFFFFFF00u);
    dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_GATEWAY)->SetAddress(0xC0A85C01u);
    dialog.Window().ControlAs<QLineEdit>(IDC_DEVICE_ID)->setText(QStringLiteral("[factory default]"));
    dialog.Window().ControlAs<QLineEdit>(IDC_NAME)->setText(QStringLiteral("AHU-1 gateway"));
    dialog.Window().ControlAs<QLineEdit>(IDC_PORT)->setText(QStringLiteral("47808"));
    dialog.Window().ControlAs<QLineEdit>(IDC_LOCATION)->setText(QStringLiteral("Plant room"));
    dialog.Window().ControlAs<QLineEdit>(IDC_DESCRIPTION)->setText(QStringLiteral("Air handling unit 1"));
    dialog.Window().ControlAs<QLineEdit>(IDC_PLA)->setText(QStringLiteral("254"));
    dialog.Window().ControlAs<QLineEdit>(IDC_ELA)->setText(QStringLiteral("254"));
    dialog.Window().ControlAs<QCheckBox>(IDC_DEBUG)->setChecked(true);
    dialog.EnableControl(IDC_BBMD_ADDRESS, false);
    dialog.EnableControl(IDC_DNS, false);
    Screenshot(dialog, "template134_edit_filled");
}

TEST(DialogRendering, WaitDialog) {
    RecordingDialog dialog(IDD_WAIT_DIALOG);
    ExpectTextsFit(dialog);
    FindControl(&dialog.Window(), IDC_PROGRESS)->setProperty("value", 40);
    Screenshot(dialog, "template135_wait");
}

}  // namespace
}  // namespace pelmora
