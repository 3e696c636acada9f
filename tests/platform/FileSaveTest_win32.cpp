// Saving a file whole on Windows, in a folder of the test's own: a new file, a replaced one, and a folder
// in the way refused. Wine keeps no access list set on a file and makes no symbolic links
// (CreateSymbolicLinkW is a stub there), so the kept access list and the followed link are not shown here.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/FileSave.h"
#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

namespace pelmora {
namespace {

class Win32FileSave : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, base), 0u);
        m_folder = std::wstring(base) + L"pelmora-save-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(m_folder.c_str(), nullptr) != FALSE);
    }
    void TearDown() override {
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((m_folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = m_folder + L"\\" + name;
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) RemoveDirectoryW(full.c_str());
                else DeleteFileW(full.c_str());
            } while (FindNextFileW(search, &found) != FALSE);
            FindClose(search);
        }
        RemoveDirectoryW(m_folder.c_str());
    }
    std::string Path(const wchar_t* name) const { return Utf8FromWide(m_folder + L"\\" + name); }
    static std::string Read(const std::string& path) {
        std::string bytes;
        FILE* file = _wfopen(WideFromUtf8(path).c_str(), L"rb");
        if (file == nullptr) return bytes;
        char buffer[256];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.append(buffer, got);
        std::fclose(file);
        return bytes;
    }
    // The names in the folder: no temporary file may stay behind.
    int Entries() const {
        int count = 0;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((m_folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") ++count;
        } while (FindNextFileW(search, &found) != FALSE);
        FindClose(search);
        return count;
    }

    std::wstring m_folder;
};

TEST_F(Win32FileSave, ANewFileAndAReplacedOneHoldTheBytesAndNothingElseStays) {
    const std::string path = Path(L"Kühlraum.csv");
    std::string error;
    ASSERT_TRUE(SaveFileWhole(path, "a,b\r\n", error)) << error;
    EXPECT_EQ(Read(path), "a,b\r\n");
    ASSERT_TRUE(SaveFileWhole(path, "c\r\n", error)) << error;
    EXPECT_EQ(Read(path), "c\r\n");
    EXPECT_EQ(Entries(), 1);

    const std::string folder = Path(L"taken");
    ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(folder).c_str(), nullptr) != FALSE);
    EXPECT_FALSE(SaveFileWhole(folder, "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Entries(), 2) << "the folder stays, and no temporary file";
    EXPECT_FALSE(SaveFileWhole(Path(L"missing\\list.csv"), "x", error));
}

}  // namespace
}  // namespace pelmora
