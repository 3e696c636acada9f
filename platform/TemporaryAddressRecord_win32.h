#pragma once
// Windows: the temporary address that this process added, recorded under a volatile key of
// HKEY_LOCAL_MACHINE, so that a later start deletes it when this process ended without doing so (a
// crash, TerminateProcess). The key is gone after a restart, as the address is. HKLM, because only
// administrators may write there: an unelevated program cannot plant a record that makes the elevated one
// delete an address, and the address belongs to the machine, not to one user's session.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/AddressTable.h"

namespace pelmora {

// A process told apart from a later one that got the same ID: its ID and its creation time (FILETIME).
struct ProcessStamp {
    std::uint32_t id = 0;
    std::uint64_t created = 0;
};
ProcessStamp ThisProcess();

struct TemporaryAddressRecord {
    AddressContext address;
    ProcessStamp owner;
};

// Records the address as the owner's; false when the record could not be written, for example without
// the rights to HKLM.
bool RecordTemporaryAddress(const AddressContext& context, const ProcessStamp& owner = ThisProcess());
// Deletes the record of the address.
void ForgetTemporaryAddress(const AddressContext& context);
// The records there are; a record that lacks a value is left out.
std::vector<TemporaryAddressRecord> ReadTemporaryAddressRecords();
// Deletes each recorded address whose process has ended, and its record: how many addresses went. A
// record of a running process stays; so does one whose address is still there but could not be deleted,
// for the next start. Only a 10.x/24 address still on its adapter is deleted.
std::size_t DeleteAbandonedTemporaryAddresses();

}  // namespace pelmora
