#include "protocol/DeviceStore.h"

namespace pelmora {

void DeviceStore::ResetRecords() { m_count = 0; }

DeviceRecord* DeviceStore::NewRecord() {
    if (m_count >= CAPACITY) return nullptr;
    DeviceRecord& record = m_records[m_count++];
    record = DeviceRecord{};
    return &record;
}

DeviceRecord* DeviceStore::RecordAt(long index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_count) return nullptr;
    return &m_records[static_cast<std::size_t>(index)];
}

const DeviceRecord* DeviceStore::RecordAt(long index) const { return const_cast<DeviceStore*>(this)->RecordAt(index); }

}  // namespace pelmora
