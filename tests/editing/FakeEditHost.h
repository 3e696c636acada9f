#pragma once
// A main window stand-in for the edit dialog: a reply store and a fake network that records what it is
// asked to send and flush, and sends nothing.
#include "editing/EditHost.h"
#include "tests/support/FakeDeviceNetwork.h"

namespace pelmora::test {

class FakeEditHost final : public EditHost {
public:
    ReplyStore& Replies() override { return replies; }
    DeviceNetwork& Network() override { return network; }

    ReplyStore replies;
    FakeDeviceNetwork network;
};

}  // namespace pelmora::test
