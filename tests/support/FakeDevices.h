#pragma once
// A device set on a fake network that sends nothing and records what it is asked to send and flush.
#include "devices/DeviceSet.h"
#include "tests/support/FakeDeviceNetwork.h"

namespace pelmora::test {

struct FakeDevices {
    FakeDeviceNetwork network;
    DeviceSet devices{network};
};

}  // namespace pelmora::test
