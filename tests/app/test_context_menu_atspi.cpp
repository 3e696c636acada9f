// The device list's context menu as a screen reader finds it through AT-SPI: on an X server and a session
// bus of the test's own (xvfb-run, dbus-run-session), with the open menu read by tests/app/atspi_find_menu.py.
#include <gtest/gtest.h>

#include <QtCore/QProcess>
#include <QtGui/QGuiApplication>
#include <QtTest/QTest>

#include "tests/app/MainWindowFixture.h"

namespace pelmora::test {
namespace {

constexpr int kNoPyatspi = 77;

TEST_F(MainWindowTest, AScreenReaderFindsTheOpenMenuAndItsExportItem) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X server";
    ShowAndWaitForFirstScan();
    ASSERT_TRUE(FocusList());
    int exitCode = -1;
    QString output;
    auto opened = WhenMenuOpens([&](QMenu*) {
        QProcess reader;
        reader.setProcessChannelMode(QProcess::MergedChannels);
        reader.start(QStringLiteral(PELMORA_SYSTEM_PYTHON),
                     {QStringLiteral(PELMORA_ATSPI_FIND_MENU), QString::number(QCoreApplication::applicationPid()),
                      QStringLiteral("Export list...")});
        // The event loop keeps running so that the accessibility bridge can answer the reader.
        if (!QTest::qWaitFor([&] { return reader.state() == QProcess::NotRunning; }, 20000)) reader.kill();
        reader.waitForFinished(2000);
        exitCode = reader.exitStatus() == QProcess::NormalExit ? reader.exitCode() : -1;
        output = QString::fromUtf8(reader.readAll());
    });
    QTest::keyClick(List(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return *opened; }, 25000)) << "Shift+F10 opened no menu";
    if (exitCode == kNoPyatspi) GTEST_SKIP() << "python3-pyatspi is not installed";
    EXPECT_EQ(exitCode, 0) << output.toStdString();
}

}  // namespace
}  // namespace pelmora::test
