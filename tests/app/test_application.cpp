// The start-up sequence: socket start-up, the temporary address around the main window's run, the
// order things end in (after an exception too), the address deleted early, and the end on SIGINT, SIGTERM
// and SIGHUP.
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>

#include <QtCore/QPointer>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

#include "app/CNimbetRawConfigApp.h"
#include "app/CNimbetRawConfigDlg.h"
#include "app/linux/TerminationSignals.h"
#include "editing/DialogEdit.h"
#include "editing/DlgWait.h"
#include "resources/ResourceIds.h"
#include "tests/app/FakeAddressPlatform.h"
#include "tests/support/FakeDeviceNetwork.h"
#include "tests/ui/GuiTestSupport.h"
#include "ui/qt/QtReportList.h"

namespace pelmora::test {
namespace {

class TestApp : public CNimbetRawConfigApp {
public:
    using CNimbetRawConfigApp::CNimbetRawConfigApp;
    bool socketsWork = true;
    bool throwFromRun = false;
    QPointer<QWidget> window;  // the main window's Qt window

protected:
    bool StartSockets() override { return socketsWork; }
    int RunMainWindow(CNimbetRawConfigDlg& mainWindow) override {
        window = &mainWindow.Window();
        if (throwFromRun) throw std::runtime_error("from the run");
        return CNimbetRawConfigApp::RunMainWindow(mainWindow);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_addresses.adapters = std::vector<AdapterInfo>{Adapter(1, false), Adapter(3, true)};
        m_addresses.onDelete = [this] { m_windowAliveAtDelete = !m_app.window.isNull(); };
    }

    FakeDeviceNetwork m_network;
    FakeAddressPlatform m_addresses;
    TestApp m_app{m_network, m_addresses, [](DeviceRecord*, DeviceSet*) { return false; }};
    bool m_windowAliveAtDelete = false;
};

TEST_F(ApplicationTest, WithoutSocketsOnlyTheMessageIsShown) {
    m_app.socketsWork = false;
    QStringList buttons;
    auto box = CallOnNextModal([&](QWidget* modal) {
        if (auto* message = qobject_cast<QMessageBox*>(modal))
            for (QAbstractButton* button : message->buttons()) buttons << button->text();
        CloseModal(modal);
    });
    EXPECT_FALSE(m_app.InitInstance());
    ASSERT_TRUE(box->fired);
    EXPECT_EQ(box->text, QStringLiteral("Windows sockets initialization failed."));
    EXPECT_EQ(box->title, QStringLiteral("Pelmora configuration software"));
    EXPECT_EQ(buttons, QStringList{"OK"});
    EXPECT_TRUE(m_app.window.isNull());
    EXPECT_EQ(m_addresses.listCalls, 0);
    EXPECT_EQ(m_network.readTableCalls, 0);
}

TEST_F(ApplicationTest, TheAddressExistsForTheWindowsRunAndGoesBeforeTheWindow) {
    bool addedDuringRun = false;
    bool deletedDuringRun = true;
    bool registeredAsMainWindow = false;
    auto run = CallOnNextModal([&](QWidget* modal) {
        addedDuringRun = m_addresses.added.size() == 1;
        deletedDuringRun = !m_addresses.deleted.empty();
        registeredAsMainWindow = m_app.MainWindow() == DialogOf<TemplateDialog>(modal);
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_network.discoverCalls == 1; }, 3000));
        DialogOf<CNimbetRawConfigDlg>(modal)->EndDialog(IDCANCEL);
    });
    EXPECT_FALSE(m_app.InitInstance());
    ASSERT_TRUE(run->fired);
    EXPECT_TRUE(addedDuringRun);
    EXPECT_FALSE(deletedDuringRun);
    EXPECT_TRUE(registeredAsMainWindow);
    EXPECT_EQ(m_app.MainWindow(), nullptr);
    EXPECT_EQ(m_network.discoverCalls, 1) << "the first scan runs while the address exists";
    ASSERT_EQ(m_addresses.deleted.size(), 1u);
    EXPECT_EQ(m_addresses.deleted[0].ifIndex, 3);
    EXPECT_TRUE(m_windowAliveAtDelete);
    EXPECT_TRUE(m_app.window.isNull());
}

TEST_F(ApplicationTest, TheAddressDeletedDuringTheRunIsDeletedOnce) {
    m_app.DeleteTemporaryAddress();
    EXPECT_TRUE(m_addresses.deleted.empty()) << "no run, no address";
    std::size_t deletedInRun = 0;
    auto run = CallOnNextModal([&](QWidget* modal) {
        m_app.DeleteTemporaryAddress();
        m_app.DeleteTemporaryAddress();
        deletedInRun = m_addresses.deleted.size();
        DialogOf<CNimbetRawConfigDlg>(modal)->EndDialog(IDCANCEL);
    });
    m_app.InitInstance();
    ASSERT_TRUE(run->fired);
    EXPECT_EQ(deletedInRun, 1u);
    m_app.DeleteTemporaryAddress();
    EXPECT_EQ(m_addresses.deleted.size(), 1u) << "not again when the run ends, nor after it";
}

TEST_F(ApplicationTest, AnExceptionFromTheRunDeletesTheAddressThenTheWindowAndTravelsOn) {
    m_app.throwFromRun = true;
    EXPECT_THROW(m_app.InitInstance(), std::runtime_error);
    m_app.DeleteTemporaryAddress();
    EXPECT_EQ(m_addresses.deleted.size(), 1u);
    EXPECT_TRUE(m_windowAliveAtDelete);
    EXPECT_TRUE(m_app.window.isNull());
    EXPECT_EQ(m_app.MainWindow(), nullptr);
}

class SignalTest : public ApplicationTest, public ::testing::WithParamInterface<int> {};

// With the About box open above the main window, the signal ends both runs and the address goes.
TEST_P(SignalTest, ATerminationSignalEndsEveryModalRunAndTheAddressIsDeleted) {
    struct sigaction before {};
    sigaction(GetParam(), nullptr, &before);
    std::shared_ptr<const ModalCall> about;
    auto run = CallOnNextModal([&](QWidget* modal) {
        about = CallOnNextModal([&](QWidget*) { std::raise(GetParam()); });
        if (auto* window = DialogOf<CNimbetRawConfigDlg>(modal)) window->OnSysCommand(IDM_ABOUTBOX);
    });
    {
        const TerminationSignals signalsEndTheRun;  // as the program's start-up installs them
        EXPECT_FALSE(m_app.InitInstance());
    }
    ASSERT_TRUE(run->fired);
    ASSERT_TRUE(about && about->fired);
    EXPECT_EQ(about->title, QStringLiteral("About"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(m_addresses.deleted.size(), 1u);
    EXPECT_TRUE(m_windowAliveAtDelete);

    struct sigaction after {};
    sigaction(GetParam(), nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << "the previous handler is back";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTest, ::testing::Values(SIGINT, SIGTERM, SIGHUP));

// The wait after a save is the longest modal run; a signal there ends the program without the rescan.
TEST_F(ApplicationTest, ASignalDuringTheWaitAfterASaveEndsTheRunWithoutAnotherScan) {
    m_network.heard = ManyDevices(1);
    TestApp app{m_network, m_addresses, [](DeviceRecord*, DeviceSet*) {
                    const auto raise = CallOnNextModal([](QWidget*) { std::raise(SIGTERM); });
                    CDlgWait wait;
                    wait.RunWait(RESTART_WAIT_SECONDS);
                    return true;
                }};
    auto run = CallOnNextModal([&](QWidget* modal) {
        auto* window = DialogOf<CNimbetRawConfigDlg>(modal);
        if (!QTest::qWaitFor([&] { return m_network.discoverCalls == 1; }, 5000)) return window->EndDialog(-1);
        window->Window().ControlAs<QtReportList>(IDC_DEVICE_LIST)->SelectItem(0);
        window->SendCommand(IDC_EDIT_BUTTON);
    });
    const TerminationSignals signalsEndTheRun;
    EXPECT_FALSE(app.InitInstance());
    ASSERT_TRUE(run->fired);
    EXPECT_EQ(m_network.discoverCalls, 1) << "no scan between the signal and the end";
    EXPECT_EQ(m_addresses.deleted.size(), 1u);
}

}  // namespace
}  // namespace pelmora::test
