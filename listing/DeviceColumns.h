#pragma once
// The device list's nine columns: their headings, and the pixel widths the window creates them with.
#include <array>

#include "listing/RowTexts.h"

namespace pelmora {

struct ColumnSpec {
    const char* heading;
    int width;  // layout pixels
};
extern const std::array<ColumnSpec, COLUMN_COUNT> DEVICE_COLUMNS;

}  // namespace pelmora
