#include "platform/TemporaryAddressRecord_win32.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/Win32Headers_win32.h"

namespace pelmora {

namespace {

constexpr const wchar_t* RECORDS_PARENT = L"SOFTWARE\\Pelmora";
constexpr const wchar_t* RECORDS_KEY = L"SOFTWARE\\Pelmora\\Temporary addresses";
constexpr std::size_t MAX_TABLE_ROWS = 1024;

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (m_key != nullptr) RegCloseKey(m_key);
    }
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

// Each level volatile where it is made here; a key that exists already is opened as it is.
bool CreateVolatile(HKEY parent, const wchar_t* name, RegistryKey& key) {
    return RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_VOLATILE, KEY_READ | KEY_WRITE, nullptr, key.Out(),
                           nullptr) == ERROR_SUCCESS;
}

std::wstring RecordName(const AddressContext& context) { return std::to_wstring(context.nteContext); }

bool SetDword(HKEY key, const wchar_t* name, std::uint32_t value) {
    const DWORD data = value;
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

std::optional<std::uint32_t> GetDword(HKEY key, const wchar_t* subkey, const wchar_t* name) {
    DWORD data = 0;
    DWORD size = sizeof data;
    if (RegGetValueW(key, subkey, name, RRF_RT_REG_DWORD, nullptr, &data, &size) != ERROR_SUCCESS) return std::nullopt;
    return data;
}

std::uint64_t FileTimeValue(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// Ended: no process has the ID, the one that has it was created at another time, or it has exited and
// only a handle keeps it. A process that cannot be asked (another user's) counts as running.
bool HasEnded(const ProcessStamp& owner) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, owner.id);
    if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    bool ended = false;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE)
        ended = FileTimeValue(created) != owner.created || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

bool IsTemporaryShape(const AddressContext& context) {
    return ToOctets(context.address).bytes[0] == 10 && context.prefixLength == 24 && context.nteContext != 0;
}

}  // namespace

ProcessStamp ThisProcess() {
    ProcessStamp stamp;
    stamp.id = GetCurrentProcessId();
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) != FALSE)
        stamp.created = FileTimeValue(created);
    return stamp;
}

bool RecordTemporaryAddress(const AddressContext& context, const ProcessStamp& owner) {
    RegistryKey parent;
    RegistryKey records;
    RegistryKey record;
    if (!CreateVolatile(HKEY_LOCAL_MACHINE, RECORDS_PARENT, parent) ||
        !CreateVolatile(HKEY_LOCAL_MACHINE, RECORDS_KEY, records) ||
        !CreateVolatile(records.Get(), RecordName(context).c_str(), record))
        return false;
    const ULONGLONG created = owner.created;
    const bool written = SetDword(record.Get(), L"Process", owner.id) &&
                         RegSetValueExW(record.Get(), L"Process created", 0, REG_QWORD,
                                        reinterpret_cast<const BYTE*>(&created), sizeof created) == ERROR_SUCCESS &&
                         SetDword(record.Get(), L"Adapter", static_cast<std::uint32_t>(context.ifIndex)) &&
                         SetDword(record.Get(), L"Address", context.address.value) &&
                         SetDword(record.Get(), L"Prefix length", context.prefixLength) &&
                         SetDword(record.Get(), L"Context", context.nteContext);
    if (!written) RegDeleteKeyW(records.Get(), RecordName(context).c_str());
    return written;
}

void ForgetTemporaryAddress(const AddressContext& context) {
    RegistryKey records;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RECORDS_KEY, 0, KEY_READ | KEY_WRITE, records.Out()) != ERROR_SUCCESS) return;
    RegDeleteKeyW(records.Get(), RecordName(context).c_str());
}

std::vector<TemporaryAddressRecord> ReadTemporaryAddressRecords() {
    std::vector<TemporaryAddressRecord> found;
    RegistryKey records;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, RECORDS_KEY, 0, KEY_READ, records.Out()) != ERROR_SUCCESS) return found;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(records.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        ULONGLONG created = 0;
        DWORD size = sizeof created;
        const auto process = GetDword(records.Get(), name, L"Process");
        const auto adapter = GetDword(records.Get(), name, L"Adapter");
        const auto address = GetDword(records.Get(), name, L"Address");
        const auto prefix = GetDword(records.Get(), name, L"Prefix length");
        const auto context = GetDword(records.Get(), name, L"Context");
        if (!process || !adapter || !address || !prefix || *prefix > 32 || !context ||
            RegGetValueW(records.Get(), name, L"Process created", RRF_RT_REG_QWORD, nullptr, &created, &size) !=
                ERROR_SUCCESS)
            continue;
        TemporaryAddressRecord record;
        record.address.ifIndex = static_cast<int>(*adapter);
        record.address.address.value = *address;
        record.address.prefixLength = static_cast<std::uint8_t>(*prefix);
        record.address.nteContext = *context;
        record.owner = ProcessStamp{*process, created};
        found.push_back(record);
    }
    return found;
}

std::size_t DeleteAbandonedTemporaryAddresses() {
    const auto records = ReadTemporaryAddressRecords();
    if (records.empty()) return 0;
    const auto table = ReadIpv4AddressTable(MAX_TABLE_ROWS);
    std::size_t deleted = 0;
    for (const TemporaryAddressRecord& record : records) {
        // Without the table there is no telling whether the address is still there: ask again next time.
        if (!HasEnded(record.owner) || !table) continue;
        const AddressContext& address = record.address;
        const bool present = std::any_of(table->begin(), table->end(), [&](const AddressRow& row) {
            return row.ifIndex == address.ifIndex && row.address == address.address;
        });
        if (present && IsTemporaryShape(address)) {
            if (!DeleteIpv4Address(address)) continue;
            ++deleted;
        }
        ForgetTemporaryAddress(address);
    }
    return deleted;
}

}  // namespace pelmora
