// The registry record of the temporary address: a later start forgets the records of processes that have
// ended, also when their process ID now names another process, and keeps those of running ones. The
// addresses recorded here are on no adapter, so nothing is deleted from the PC.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/TemporaryAddressRecord_win32.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {
namespace {

AddressContext Recorded(std::uint32_t nteContext) {
    AddressContext context{1, ToNet(Ipv4Octets{{10, 9, 9, static_cast<std::uint8_t>(nteContext % 250)}}), 24};
    context.nteContext = nteContext;
    return context;
}

std::vector<std::uint32_t> RecordedContexts() {
    std::vector<std::uint32_t> contexts;
    for (const TemporaryAddressRecord& record : ReadTemporaryAddressRecords())
        contexts.push_back(record.address.nteContext);
    std::sort(contexts.begin(), contexts.end());
    return contexts;
}

TEST(TemporaryAddressRecord, RecordsOfEndedProcessesGoAndThoseOfRunningOnesStay) {
    // A process that has ended; the handle kept open holds its ID, as another program's handle may.
    wchar_t command[] = L"cmd.exe /c exit 0";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    ASSERT_TRUE(CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                               &child) != FALSE);
    ASSERT_EQ(WaitForSingleObject(child.hProcess, 30000), WAIT_OBJECT_0);
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    ASSERT_TRUE(GetProcessTimes(child.hProcess, &created, &exited, &kernel, &user) != FALSE);
    const ProcessStamp ended{child.dwProcessId, (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime};
    ProcessStamp reused = ThisProcess();
    reused.created -= 1;

    ASSERT_TRUE(RecordTemporaryAddress(Recorded(901), ended));
    ASSERT_TRUE(RecordTemporaryAddress(Recorded(902), reused));
    ASSERT_TRUE(RecordTemporaryAddress(Recorded(903)));
    ASSERT_EQ(RecordedContexts(), (std::vector<std::uint32_t>{901, 902, 903}));
    const auto all = ReadTemporaryAddressRecords();
    const auto own = std::find_if(all.begin(), all.end(), [](const auto& r) { return r.address.nteContext == 903; });
    ASSERT_NE(own, all.end());
    EXPECT_EQ(own->address.address, Recorded(903).address);
    EXPECT_EQ(own->address.ifIndex, 1);
    EXPECT_EQ(own->owner.id, GetCurrentProcessId());

    EXPECT_EQ(DeleteAbandonedTemporaryAddresses(), 0u) << "no recorded address is on its adapter";
    EXPECT_EQ(RecordedContexts(), std::vector<std::uint32_t>{903});
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);

    ForgetTemporaryAddress(Recorded(903));
    EXPECT_TRUE(RecordedContexts().empty());
}

}  // namespace
}  // namespace pelmora
