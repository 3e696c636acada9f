#include "platform/FileSave.h"

#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

// After the Windows headers, which it needs.
#include <aclapi.h>

#include <cstddef>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pelmora {

namespace {

constexpr int TEMPORARY_NAME_TRIES = 16;
// ERROR_DIRECTORY_NOT_SUPPORTED, which mingw-w64's headers lack.
constexpr DWORD DIRECTORY_NOT_SUPPORTED = 336;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    void Close() {
        if (IsOpen()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

// What GetSecurityInfo hands out, released with LocalFree.
class SecurityDescriptor {
public:
    SecurityDescriptor() = default;
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;
    ~SecurityDescriptor() { LocalFree(descriptor); }

    PSID owner = nullptr;
    PSID group = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
};

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    return Utf8FromWide(message);
}

// The folder with its trailing separator: "C:" alone would name drive C's current folder, not its root.
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1);
}

// The path a handle's file has after every link: the file a link names is the one replaced.
bool FinalPath(HANDLE file, std::wstring& path) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return false;
        if (length < buffer.size()) {
            path.assign(buffer.data(), length);
            return true;
        }
        buffer.resize(length + 1);
    }
}

// A new file of a random name in the folder, made here and nowhere else (CREATE_NEW): no one can have put
// a file or a link there first, and it is never opened again by name.
HANDLE CreateTemporary(const std::wstring& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < TEMPORARY_NAME_TRIES; ++attempt) {
        const std::wstring name =
            folder + L".pelmora-save-" + std::to_wstring(random()) + std::to_wstring(random()) + L".tmp";
        const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                                        0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

// The replaced file's access list, with its inheritance as it was; its owner and group where this user may
// set them (another user's ownership needs the restore privilege). The system's error code; ERROR_SUCCESS.
DWORD CopySecurity(const SecurityDescriptor& from, HANDLE to) {
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (GetSecurityDescriptorControl(from.descriptor, &control, &revision) == FALSE) return GetLastError();
    // Unprotected, the inherited entries come again from the folder, which the file stays in.
    const SECURITY_INFORMATION dacl =
        DACL_SECURITY_INFORMATION | ((control & SE_DACL_PROTECTED) != 0 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                        : UNPROTECTED_DACL_SECURITY_INFORMATION);
    const DWORD set = SetSecurityInfo(to, SE_FILE_OBJECT, dacl, nullptr, nullptr, from.dacl, nullptr);
    if (set != ERROR_SUCCESS) return set;
    SetSecurityInfo(to, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION, from.owner, from.group,
                    nullptr, nullptr);
    return ERROR_SUCCESS;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (WriteFile(file, data, chunk, &written, nullptr) == FALSE || written == 0) return false;
        data += written;
        left -= written;
    }
    return FlushFileBuffers(file) != FALSE;
}

bool RenameOver(HANDLE file, const std::wstring& target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(rename->FileName, target.c_str(), nameBytes + sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size())) != FALSE;
}

}  // namespace

bool SaveFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    const auto fail = [&error](DWORD code) {
        error = SystemMessage(code);
        return false;
    };
    std::wstring target = WideFromUtf8(path);
    SecurityDescriptor replaced;
    {
        // Opened through any link; a folder opens too, to be refused rather than replaced.
        const FileHandle existing(CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (existing.IsOpen()) {
            BY_HANDLE_FILE_INFORMATION information{};
            if (GetFileInformationByHandle(existing.Get(), &information) == FALSE) return fail(GetLastError());
            if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return fail(DIRECTORY_NOT_SUPPORTED);
            if (!FinalPath(existing.Get(), target)) return fail(GetLastError());
            const DWORD read =
                GetSecurityInfo(existing.Get(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                &replaced.owner, &replaced.group, &replaced.dacl, nullptr, &replaced.descriptor);
            if (read != ERROR_SUCCESS) return fail(read);
        } else if (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND) {
            return fail(GetLastError());
        }
    }

    FileHandle temporary(CreateTemporary(FolderOf(target)));
    if (!temporary.IsOpen()) return fail(GetLastError());
    // Whatever goes wrong from here, the temporary file goes, through its handle: its name may by then
    // belong to someone else's file.
    const auto discard = [&](DWORD code) {
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        SetFileInformationByHandle(temporary.Get(), FileDispositionInfo, &disposition, sizeof disposition);
        return fail(code);
    };
    if (replaced.descriptor != nullptr) {
        const DWORD copied = CopySecurity(replaced, temporary.Get());
        if (copied != ERROR_SUCCESS) return discard(copied);
    }
    if (!WriteAll(temporary.Get(), bytes)) return discard(GetLastError());
    if (!RenameOver(temporary.Get(), target)) return discard(GetLastError());
    return true;
}

}  // namespace pelmora
