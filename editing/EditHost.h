#pragma once
// What the edit dialog borrows from the main window while it runs: the reply store that the
// configuration write looks the device up in, and the network it sends through.
#include "protocol/DeviceNetwork.h"
#include "protocol/ElementList.h"

namespace pelmora {

class EditHost {
public:
    virtual ~EditHost() = default;
    virtual ReplyStore& Replies() = 0;
    virtual DeviceNetwork& Network() = 0;
};

}  // namespace pelmora
