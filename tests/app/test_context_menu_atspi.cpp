// The device list's context menu as a screen reader finds it through AT-SPI: on an X server and a session
// bus of the test's own (tests/support/screen-reader-session.sh), the open menu read by atspi_read.py.
#include <gtest/gtest.h>

#include <QtGui/QGuiApplication>
#include <QtTest/QTest>

#include "tests/app/MainWindowFixture.h"
#include "tests/ui/AtSpiReader.h"

namespace pelmora::test {
namespace {

TEST_F(MainWindowTest, AScreenReaderFindsTheOpenMenuAndItsExportItem) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X server";
    ShowAndWaitForFirstScan();
    ASSERT_TRUE(FocusList());
    AtSpiReading reading;
    auto opened = WhenMenuOpens(
        [&](QMenu*) { reading = ReadOverAtSpi(QStringLiteral("menu"), QStringLiteral("Export list...")); });
    QTest::keyClick(List(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *opened; }, 25000)) << "Shift+F10 opened no menu";
    if (reading.exitCode == AtSpiReading::NO_PYATSPI) GTEST_SKIP() << "python3-pyatspi is not installed";
    EXPECT_EQ(reading.exitCode, 0) << reading.output.toStdString();
}

}  // namespace
}  // namespace pelmora::test
