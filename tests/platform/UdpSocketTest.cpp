// Socket behaviour that needs no traffic: nothing here binds to a port or sends a datagram, so it runs
// in whatever namespace the test is started in.
#include "platform/UdpSocket.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

bool DescriptorOpen(int fd) { return fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

TEST(UdpSocket, MoveTransfersTheDescriptorAndCloseReleasesIt) {
    auto created = UdpSocket::Create();
    ASSERT_TRUE(created);
    const int fd = static_cast<int>(created->Descriptor());
    ASSERT_GE(fd, 0);
    UdpSocket moved = std::move(*created);
    EXPECT_EQ(moved.Descriptor(), fd);
    EXPECT_FALSE(created->IsOpen());
    created.reset();
    EXPECT_TRUE(DescriptorOpen(fd)) << "destroying a moved-from socket must not close the descriptor";

    auto other = UdpSocket::Create();
    ASSERT_TRUE(other);
    const int otherFd = static_cast<int>(other->Descriptor());
    moved = std::move(*other);
    EXPECT_FALSE(DescriptorOpen(fd)) << "move assignment must close the socket it replaces";
    EXPECT_EQ(moved.Descriptor(), otherFd);
    moved.Close();
    EXPECT_FALSE(moved.IsOpen());
    EXPECT_FALSE(DescriptorOpen(otherFd));
    moved.Close();
}

TEST(UdpSocket, ClosedSocketRefusesEverything) {
    auto socket = UdpSocket::Create();
    ASSERT_TRUE(socket);
    socket->Close();
    std::uint8_t byte = 0;
    BufferPart parts[2] = {{1, &byte}, {0, nullptr}};
    EXPECT_FALSE(socket->SetBroadcast());
    EXPECT_FALSE(socket->SetReuseAddress());
    EXPECT_FALSE(socket->SetNonBlocking());
    EXPECT_FALSE(socket->Bind(ToNet(ANY_ADDRESS), 0));
    EXPECT_EQ(socket->SendTo(parts, ToNet(Ipv4Octets{{127, 0, 0, 1}}), 9), SendResult::Failed);
    EXPECT_FALSE(socket->Receive(&byte, 1));
    EXPECT_FALSE(socket->LocalPort());
}

TEST(UdpSocket, UnboundSocketHasNoPortAndNothingToReceive) {
    auto socket = UdpSocket::Create();
    ASSERT_TRUE(socket);
    EXPECT_FALSE(socket->LocalPort());
    std::uint8_t buffer[16];
    const auto start = Clock::now();
    EXPECT_FALSE(socket->Receive(buffer, sizeof buffer));
    EXPECT_LT(Clock::now() - start, 5s) << "Receive must not block, even on a blocking socket";
}

TEST(WaitReadable, ReturnsFalseAtTheDeadline) {
    auto socket = UdpSocket::Create();
    ASSERT_TRUE(socket);
    const auto start = Clock::now();
    EXPECT_FALSE(WaitReadable({&*socket}, start + 150ms));
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, 150ms);

    const auto before = Clock::now();
    EXPECT_FALSE(WaitReadable({&*socket}, before - 1s));
    EXPECT_LT(Clock::now() - before, 5s) << "a deadline in the past means no wait, not an endless one";
    EXPECT_FALSE(WaitReadable({nullptr}, Clock::now() + 10ms));
}

extern "C" void IgnoreSignal(int) {}

TEST(WaitReadable, ASignalDoesNotCutTheWaitShort) {
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: poll returns EINTR
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &action, &previous), 0);
    itimerval timer{};
    timer.it_value.tv_usec = 40000;
    timer.it_interval.tv_usec = 40000;
    ASSERT_EQ(setitimer(ITIMER_REAL, &timer, nullptr), 0);

    auto socket = UdpSocket::Create();
    ASSERT_TRUE(socket);
    const auto start = Clock::now();
    const bool readable = WaitReadable({&*socket}, start + 300ms);
    const auto waited = Clock::now() - start;

    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_FALSE(readable);
    EXPECT_GE(waited, 300ms) << "an interrupted poll waits on for the rest of the time";
}

}  // namespace
}  // namespace pelmora
