#pragma once
// The table of records behind the device list: row i shows record i.
#include <array>
#include <cstddef>

#include "protocol/DeviceRecord.h"

namespace pelmora {

class DeviceStore {
public:
    static constexpr std::size_t CAPACITY = 256;
    void ResetRecords();
    DeviceRecord* NewRecord();  // nullptr when full
    DeviceRecord* RecordAt(long index);
    const DeviceRecord* RecordAt(long index) const;
    std::size_t Count() const { return m_count; }

private:
    std::array<DeviceRecord, CAPACITY> m_records{};
    std::size_t m_count = 0;
};

}  // namespace pelmora
