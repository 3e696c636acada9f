#pragma once
#include "ElementList.h"

namespace pelmora {

// Broadcasts the wink command twice, 200 ms apart, for the device whose MAC element the list holds.
// A list without a MAC element sends nothing.
void SendWink(const ElementList& list);

}  // namespace pelmora
