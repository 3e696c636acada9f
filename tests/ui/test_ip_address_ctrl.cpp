// The IP address control: blank and partly filled fields, the 32-bit address, and typing.
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/QtIpAddressCtrl.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace pelmora {
namespace {

QStringList Fields(const QtIpAddressCtrl& control) {
    QStringList texts;
    for (int i = 0; i < QtIpAddressCtrl::FIELD_COUNT; ++i) texts << control.Field(i)->text();
    return texts;
}

TEST(QtIpAddressCtrl, ReadsBlankPartialAndFullAddresses) {
    QtIpAddressCtrl control;
    std::uint32_t address = 0xDEADBEEFu;
    EXPECT_TRUE(control.IsBlank());
    EXPECT_EQ(control.GetAddress(address), 0);
    EXPECT_EQ(address, 0u);

    control.Field(0)->setText(QStringLiteral("10"));
    control.Field(2)->setText(QStringLiteral("5"));
    EXPECT_FALSE(control.IsBlank());
    EXPECT_EQ(control.GetAddress(address), 2);
    EXPECT_EQ(address, 0x0A000500u) << "blank fields read as 0";

    control.SetAddress(0xC0A8010Au);
    EXPECT_EQ(Fields(control), (QStringList{"192", "168", "1", "10"}));
    EXPECT_EQ(control.GetAddress(address), 4);
    EXPECT_EQ(address, 0xC0A8010Au);

    // 0.0.0.0 is four filled fields, not a blank control.
    control.SetAddress(0);
    EXPECT_FALSE(control.IsBlank());
    EXPECT_EQ(control.GetAddress(address), 4);
    EXPECT_EQ(Fields(control), (QStringList{"0", "0", "0", "0"}));

    control.SetAddress(0xFFFFFFFFu);
    EXPECT_EQ(Fields(control), (QStringList{"255", "255", "255", "255"}));
    control.ClearAddress();
    EXPECT_TRUE(control.IsBlank());
    EXPECT_EQ(control.GetAddress(address), 0);
}

class IpAddressTyping : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&m_window);
        m_control = new QtIpAddressCtrl(&m_window);
        m_other = new QLineEdit(&m_window);
        layout->addWidget(m_control);
        layout->addWidget(m_other);
        ASSERT_TRUE(test::ShowAndActivate(&m_window));
        m_control->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), m_control->Field(0));
    }

    std::uint32_t Address(int* filled = nullptr) const {
        std::uint32_t address = 0;
        const int count = m_control->GetAddress(address);
        if (filled != nullptr) *filled = count;
        return address;
    }

    QWidget m_window;
    QtIpAddressCtrl* m_control = nullptr;
    QLineEdit* m_other = nullptr;
};

TEST_F(IpAddressTyping, DotsAndThirdDigitsMoveToTheNextField) {
    test::TypeIntoFocus(QStringLiteral("192.168.1.10"));
    int filled = 0;
    EXPECT_EQ(Address(&filled), 0xC0A8010Au);
    EXPECT_EQ(filled, 4);

    m_control->ClearAddress();
    m_control->setFocus();
    test::TypeIntoFocus(QStringLiteral("1921681"));
    EXPECT_EQ(Fields(*m_control), (QStringList{"192", "168", "1", ""}));
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(2));
}

TEST_F(IpAddressTyping, ValuesAboveTheOctetRangeAreClamped) {
    test::TypeIntoFocus(QStringLiteral("300"));
    EXPECT_EQ(m_control->Field(0)->text(), QStringLiteral("255"));
    test::TypeIntoFocus(QStringLiteral("256"));
    EXPECT_EQ(m_control->Field(1)->text(), QStringLiteral("255"));
    test::TypeIntoFocus(QStringLiteral("99"));
    EXPECT_EQ(m_control->Field(2)->text(), QStringLiteral("99"));
}

TEST_F(IpAddressTyping, OnlyDigitsAreTakenAndADotInAnEmptyFieldStays) {
    test::TypeIntoFocus(QStringLiteral("a.1-b"));
    EXPECT_EQ(Fields(*m_control), (QStringList{"1", "", "", ""}));
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(0));
    test::TypeIntoFocus(QStringLiteral(".."));
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(1));
}

TEST_F(IpAddressTyping, BackspaceAndArrowsCrossFieldBoundaries) {
    test::TypeIntoFocus(QStringLiteral("10.2"));
    ASSERT_EQ(QApplication::focusWidget(), m_control->Field(1));
    test::KeyIntoFocus(Qt::Key_Backspace);
    EXPECT_EQ(m_control->Field(1)->text(), QString());
    test::KeyIntoFocus(Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(0));
    test::KeyIntoFocus(Qt::Key_Backspace);
    EXPECT_EQ(m_control->Field(0)->text(), QStringLiteral("1"));
    test::KeyIntoFocus(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(1));
    test::KeyIntoFocus(Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), m_control->Field(0));
}

TEST_F(IpAddressTyping, TabLeavesTheControlFromAnyField) {
    test::TypeIntoFocus(QStringLiteral("10.1"));
    test::KeyIntoFocus(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), m_other);
}

TEST_F(IpAddressTyping, ADisabledControlTakesNoInput) {
    m_control->SetAddress(0x0A000001u);
    m_control->setEnabled(false);
    for (int i = 0; i < QtIpAddressCtrl::FIELD_COUNT; ++i) EXPECT_FALSE(m_control->Field(i)->isEnabled());
    QTest::mouseClick(m_control->Field(3), Qt::LeftButton);
    QTest::keyClicks(m_control->Field(3), QStringLiteral("9"));
    EXPECT_EQ(Address(), 0x0A000001u);
    // Disabling keeps the contents.
    m_control->setEnabled(true);
    EXPECT_EQ(Address(), 0x0A000001u);
}

}  // namespace
}  // namespace pelmora
