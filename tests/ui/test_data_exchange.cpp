// Data exchange between members and controls: both directions, text limits for typing and for saving,
// the failure message and focus, and the exchange stopping at its first failure.
#include "resources/ResourceIds.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/DataExchange.h"
#include "ui/TemplateDialog.h"
#include "ui/qt/QtDialogWindow.h"
#include "ui/qt/QtIpAddressCtrl.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

namespace pelmora {
namespace {

class ExchangeDialog : public TemplateDialog {
public:
    ExchangeDialog() : TemplateDialog(IDD_EDIT_DIALOG) {}

    int m_dhcp = 0;
    std::string m_description;
    std::string m_name;
    std::uint32_t m_address = 0;
    int m_debug = 0;
    std::string m_deviceIdText;

    QLineEdit* Edit(int id) const { return Window().ControlAs<QLineEdit>(id); }

protected:
    void DoDataExchange(DataExchange& exchange) override {
        exchange.Check(IDC_DHCP, m_dhcp);
        exchange.Text(IDC_DESCRIPTION, m_description, 50);
        exchange.Text(IDC_NAME, m_name, 32);
        exchange.IpAddress(IDC_ADDRESS, m_address);
        exchange.Check(IDC_DEBUG, m_debug);
        exchange.Text(IDC_DEVICE_ID, m_deviceIdText, 20);
    }
};

TEST(DataExchange, MembersGoToTheControlsAndBack) {
    ExchangeDialog dialog;
    dialog.m_dhcp = 1;
    dialog.m_description = "Air handling unit";
    dialog.m_name = "AHU-1";
    dialog.m_address = 0xC0A85C5Cu;
    dialog.m_deviceIdText = "[factory default]";
    ASSERT_TRUE(dialog.UpdateData(false));

    EXPECT_TRUE(dialog.Window().ControlAs<QCheckBox>(IDC_DHCP)->isChecked());
    EXPECT_FALSE(dialog.Window().ControlAs<QCheckBox>(IDC_DEBUG)->isChecked());
    EXPECT_EQ(dialog.Edit(IDC_DESCRIPTION)->text(), QStringLiteral("Air handling unit"));
    EXPECT_EQ(dialog.Edit(IDC_NAME)->text(), QStringLiteral("AHU-1"));
    EXPECT_EQ(dialog.Edit(IDC_DEVICE_ID)->text(), QStringLiteral("[factory default]"));
    std::uint32_t shown = 0;
    EXPECT_EQ(dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS)->GetAddress(shown), 4);
    EXPECT_EQ(shown, 0xC0A85C5Cu);

    dialog.Window().ControlAs<QCheckBox>(IDC_DHCP)->setChecked(false);
    dialog.Window().ControlAs<QCheckBox>(IDC_DEBUG)->setChecked(true);
    dialog.Edit(IDC_NAME)->setText(QStringLiteral("AHU-2"));
    dialog.Edit(IDC_DEVICE_ID)->setText(QStringLiteral("77"));
    auto* address = dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS);
    address->ClearAddress();
    address->Field(0)->setText(QStringLiteral("10"));
    address->Field(3)->setText(QStringLiteral("7"));
    ASSERT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.m_dhcp, 0);
    EXPECT_EQ(dialog.m_debug, 1);
    EXPECT_EQ(dialog.m_name, "AHU-2");
    EXPECT_EQ(dialog.m_deviceIdText, "77");
    EXPECT_EQ(dialog.m_address, 0x0A000007u) << "blank fields save as 0";
}

TEST(DataExchange, TypingStopsAtTheLimit) {
    ExchangeDialog dialog;
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    QLineEdit* name = dialog.Edit(IDC_NAME);
    name->setFocus();
    test::TypeIntoFocus(QString(40, QLatin1Char('x')));
    EXPECT_EQ(name->text(), QString(32, QLatin1Char('x')));

    // A paste is cut to what still fits, as a limited edit control does.
    name->clear();
    test::TypeIntoFocus(QStringLiteral("abc"));
    name->setCursorPosition(1);
    name->insert(QString(40, QLatin1Char('-')));
    EXPECT_EQ(name->text(), QStringLiteral("a") + QString(29, QLatin1Char('-')) + QStringLiteral("bc"));
    EXPECT_EQ(name->cursorPosition(), 30);
}

TEST(DataExchange, ALongerTextFromTheDeviceIsShownWholeAndCanOnlyShrink) {
    ExchangeDialog dialog;
    const QString longName = QStringLiteral("Gateway on the third floor, east riser cupboard");  // 47 characters
    ASSERT_GT(longName.size(), 32);
    dialog.m_name = longName.toStdString();
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    QLineEdit* name = dialog.Edit(IDC_NAME);
    EXPECT_EQ(name->text(), longName);

    name->setFocus();
    name->end(false);
    test::TypeIntoFocus(QStringLiteral("z"));
    EXPECT_EQ(name->text(), longName) << "cannot grow";
    test::KeyIntoFocus(Qt::Key_Backspace);
    EXPECT_EQ(name->text(), longName.left(longName.size() - 1));
    test::TypeIntoFocus(QStringLiteral("z"));
    EXPECT_EQ(name->text(), longName.left(longName.size() - 1)) << "cannot grow back";

    // Once short enough, the ordinary limit applies.
    name->setText(QString(20, QLatin1Char('n')));
    name->end(false);
    test::TypeIntoFocus(QString(20, QLatin1Char('m')));
    EXPECT_EQ(name->text().size(), 32);

    // A second exchange to the controls shows a long text whole again.
    dialog.m_name = longName.toStdString();
    dialog.UpdateData(false);
    EXPECT_EQ(name->text(), longName);
}

TEST(DataExchange, ATooLongTextFailsWithAMessageFocusAndAStop) {
    ExchangeDialog dialog;
    dialog.m_name = std::string(40, 'a');
    ASSERT_TRUE(test::ShowAndActivate(&dialog.Window()));
    dialog.Window().ControlAs<QCheckBox>(IDC_DHCP)->setChecked(true);
    dialog.Edit(IDC_DESCRIPTION)->setText(QStringLiteral("changed"));
    dialog.Window().ControlAs<QtIpAddressCtrl>(IDC_ADDRESS)->SetAddress(0x0A010203u);
    dialog.Window().ControlAs<QCheckBox>(IDC_DEBUG)->setChecked(true);
    dialog.Edit(IDC_DEVICE_ID)->setText(QStringLiteral("5"));
    dialog.Edit(IDC_DESCRIPTION)->setFocus();

    auto call = test::CallOnNextModal([](QWidget* modal) { test::CloseModal(modal); });
    EXPECT_FALSE(dialog.UpdateData(true));
    ASSERT_TRUE(call->fired);
    EXPECT_EQ(call->text, QStringLiteral("Enter no more than 32 characters."));
    EXPECT_EQ(call->modal, nullptr) << "the message box is gone again";

    EXPECT_EQ(dialog.m_dhcp, 1) << "exchanged before the failure";
    EXPECT_EQ(dialog.m_description, "changed") << "exchanged before the failure";
    EXPECT_EQ(dialog.m_name, std::string(40, 'a')) << "the failing member keeps its value";
    EXPECT_EQ(dialog.m_address, 0u) << "no exchange after the failure";
    EXPECT_EQ(dialog.m_debug, 0);
    EXPECT_TRUE(dialog.m_deviceIdText.empty());
    EXPECT_EQ(dialog.Window().focusWidget(), dialog.Edit(IDC_NAME));
    EXPECT_TRUE(QTest::qWaitFor([&dialog] { return QApplication::focusWidget() == dialog.Edit(IDC_NAME); }, 2000));
    EXPECT_EQ(dialog.Edit(IDC_NAME)->selectedText().size(), 40);

    // The default OnOK saves first, so the dialog stays open.
    auto again = test::CallOnNextModal([](QWidget* modal) { test::CloseModal(modal); });
    dialog.SendCommand(IDOK);
    EXPECT_TRUE(again->fired);
    EXPECT_TRUE(dialog.Window().isVisible());
}

TEST(DataExchange, AFailedExchangeTurnsLaterCallsIntoNoOps) {
    ExchangeDialog dialog;
    dialog.Edit(IDC_NAME)->setText(QString(33, QLatin1Char('b')));
    dialog.Window().ControlAs<QCheckBox>(IDC_DEBUG)->setChecked(true);
    auto call = test::CallOnNextModal([](QWidget* modal) { test::CloseModal(modal); });
    DataExchange exchange(dialog, true);
    std::string name;
    int debug = 0;
    exchange.Text(IDC_NAME, name, 32);
    ASSERT_TRUE(call->fired);
    EXPECT_TRUE(exchange.Failed());
    EXPECT_FALSE(exchange.Ok());
    EXPECT_EQ(exchange.FailedControl(), IDC_NAME);
    EXPECT_TRUE(name.empty());
    exchange.Check(IDC_DEBUG, debug);
    EXPECT_EQ(debug, 0);
    // Exactly 32 characters pass.
    dialog.Edit(IDC_NAME)->setText(QString(32, QLatin1Char('b')));
    DataExchange second(dialog, true);
    second.Text(IDC_NAME, name, 32);
    second.Check(IDC_DEBUG, debug);
    EXPECT_TRUE(second.Ok());
    EXPECT_EQ(name.size(), 32);
    EXPECT_EQ(debug, 1);
}

TEST(DataExchange, LimitsCountCharactersNotCodeUnits) {
    ExchangeDialog dialog;
    const QString three = QString::fromUtf8("\xF0\x9F\x98\x80\xC3\xA9\xF0\x9F\x98\x80");  // 😀é😀
    std::string member = three.toStdString();
    {
        DataExchange toControls(dialog, false);
        toControls.Text(IDC_PLA, member, 3);
    }
    QLineEdit* pla = dialog.Edit(IDC_PLA);
    EXPECT_EQ(pla->text(), three);
    DataExchange save(dialog, true);
    save.Text(IDC_PLA, member, 3);
    EXPECT_TRUE(save.Ok());

    // Typing past the limit drops whole characters, never half a surrogate pair.
    pla->end(false);
    pla->insert(QString::fromUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(pla->text(), three);
    pla->setCursorPosition(0);
    pla->del();
    ASSERT_EQ(pla->text(), three.mid(2));
    pla->end(false);
    pla->insert(QString::fromUtf8("\xF0\x9F\x98\x81\xF0\x9F\x98\x82"));
    EXPECT_EQ(pla->text(), QString::fromUtf8("\xC3\xA9\xF0\x9F\x98\x80\xF0\x9F\x98\x81"));
}

TEST(DataExchange, WithoutALimitAnyLengthPasses) {
    ExchangeDialog dialog;
    std::string member(300, 'q');
    DataExchange toControls(dialog, false);
    toControls.Text(IDC_BBMD_ADDRESS, member);
    EXPECT_EQ(dialog.Edit(IDC_BBMD_ADDRESS)->text().size(), 300);
    member.clear();
    DataExchange save(dialog, true);
    save.Text(IDC_BBMD_ADDRESS, member);
    EXPECT_TRUE(save.Ok());
    EXPECT_EQ(member.size(), 300);
}

TEST(DataExchange, AControlOfTheWrongKindFailsWithoutAMessage) {
    ExchangeDialog dialog;
    auto call = test::CallOnNextModal([](QWidget* modal) { test::CloseModal(modal); }, 200);
    DataExchange exchange(dialog, true);
    std::string text;
    std::uint32_t address = 1;
    exchange.Text(IDC_DHCP, text);
    EXPECT_TRUE(exchange.Failed());
    EXPECT_EQ(exchange.FailedControl(), IDC_DHCP);
    DataExchange second(dialog, true);
    second.IpAddress(IDC_NAME, address);
    EXPECT_TRUE(second.Failed());
    EXPECT_EQ(address, 1u);
    EXPECT_TRUE(QTest::qWaitFor([&call] { return call->timedOut; }, 2000));
    EXPECT_FALSE(call->fired);
}

}  // namespace
}  // namespace pelmora
