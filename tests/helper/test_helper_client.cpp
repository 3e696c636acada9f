// The program's side of the network helper, against stand-in helpers written in sh, and the real helper
// started without CAP_NET_ADMIN (it refuses at once and changes nothing).
#include <unistd.h>

#include <gtest/gtest.h>

#include "helper/NetHelperClient.h"

namespace pelmora::test {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<NetHelperClient> StartScript(const std::string& script, std::string& error,
                                             std::chrono::milliseconds timeout = 5000ms) {
    return NetHelperClient::Start({"/bin/sh", "-c", script}, error, timeout);
}

Ipv4Net Net(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return ToNet(Ipv4Octets{{a, b, c, d}}); }

TEST(NetHelperClient, StartNeedsTheGreeting) {
    std::string error;
    EXPECT_FALSE(StartScript("echo 'ERR no CAP_NET_ADMIN'", error));
    EXPECT_EQ(error, "no CAP_NET_ADMIN");
    EXPECT_FALSE(StartScript("exit 0", error));
    EXPECT_EQ(error, "it ended or did not answer");
    EXPECT_FALSE(StartScript("echo 'READY 2'; read line", error));
    EXPECT_EQ(error, "unexpected greeting \"READY 2\"");
    EXPECT_FALSE(NetHelperClient::Start({"/nonexistent/pelmora-net-helper"}, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_FALSE(NetHelperClient::Start({"pelmora-net-helper"}, error)) << "no search of PATH";
    EXPECT_TRUE(StartScript("echo 'READY 1'; read line", error)) << error;
}

TEST(NetHelperClient, EachOperationIsOneRequestLine) {
    std::string error;
    const auto client = StartScript(R"(echo 'READY 1'
while read line; do
  case $line in
    "ADD 5") echo 'OK 10.1.2.3/24' ;;
    "ADD 6") echo OK ;;
    "DEL 5 10.1.2.3/24") echo OK ;;
    "FLUSH 192.168.92.10") echo 'OK 2' ;;
    *) echo "ERR unexpected $line" ;;
  esac
done)",
                                    error);
    ASSERT_TRUE(client) << error;
    const auto context = client->AddTemporaryAddress(5);
    ASSERT_TRUE(context);
    EXPECT_EQ(context->ifIndex, 5);
    EXPECT_EQ(context->address, Net(10, 1, 2, 3)) << "the address the helper drew";
    EXPECT_EQ(context->prefixLength, 24);
    EXPECT_FALSE(client->AddTemporaryAddress(7)) << "an ERR is a failure";
    EXPECT_FALSE(client->AddTemporaryAddress(6)) << "an OK without the address is no add";
    EXPECT_TRUE(client->DeleteIpv4Address(*context));
    EXPECT_EQ(client->DeleteNeighbours(Net(192, 168, 92, 10)), std::optional<std::size_t>{2});
    EXPECT_EQ(client->DeleteNeighbours(Net(192, 168, 92, 11)), std::nullopt);
}

TEST(NetHelperClient, ALateReplyFailsOnlyItsRequestAndAnOverlongOneClosesTheChannel) {
    std::string error;
    // Answers the first request only when the second arrives, then the second at once.
    const auto late = StartScript(
        "echo 'READY 1'; read line; read line; echo 'OK 1'; echo 'OK 2'; read line; echo 'OK 3'", error, 300ms);
    ASSERT_TRUE(late) << error;
    EXPECT_FALSE(late->DeleteNeighbours(Net(10, 1, 2, 3)));
    EXPECT_EQ(late->DeleteNeighbours(Net(10, 1, 2, 3)), std::optional<std::size_t>{2}) << "the late reply is dropped";
    EXPECT_EQ(late->DeleteNeighbours(Net(10, 1, 2, 3)), std::optional<std::size_t>{3});

    const std::string longLine(HelperChannel::MAX_LINE + 1, 'K');
    const auto chatty = StartScript("echo 'READY 1'; while read line; do echo 'OK " + longLine + "'; done", error);
    ASSERT_TRUE(chatty) << error;
    EXPECT_FALSE(chatty->DeleteNeighbours(Net(10, 1, 2, 3)));
}

TEST(NetHelperClient, TheRealHelperWithoutTheCapabilityRefusesToStart) {
    std::vector<std::string> argv = {PELMORA_NET_HELPER_PATH};
    // As root, run it as nobody with every capability gone, which no file capability can give back.
    if (geteuid() == 0)
        argv.insert(argv.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                                   "--inh-caps=-all", "--bounding-set=-all", "--"});
    std::string error;
    EXPECT_FALSE(NetHelperClient::Start(argv, error));
    EXPECT_NE(error.find("no CAP_NET_ADMIN"), std::string::npos) << error;
}

}  // namespace
}  // namespace pelmora::test
