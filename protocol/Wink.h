#pragma once
#include "platform/Clock.h"
#include "platform/Transport.h"
#include "protocol/ElementList.h"

namespace pelmora {

// Broadcasts the wink command twice, 200 ms apart, for the device whose MAC element the list holds.
// A list without a MAC element sends nothing.
void SendWink(Transport& transport, Clock& clock, const ElementList& list);

}  // namespace pelmora
