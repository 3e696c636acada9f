#pragma once
#include "base/Ipv4.h"
#include "platform/Clock.h"
#include "platform/Transport.h"
#include "protocol/ElementList.h"

namespace pelmora {

// Sends the wink command twice, 200 ms apart, to destination:DEVICE_PORT (the window always broadcasts to
// 255.255.255.255) for the device whose MAC element the list holds. A list without a MAC element sends nothing.
void SendWink(Transport& transport, Clock& clock, const ElementList& list, Ipv4Host destination);

}  // namespace pelmora
