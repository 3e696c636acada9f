#include "platform/FileSave.h"

#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"

#include <string>

namespace pelmora {

namespace {

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

}  // namespace

bool SaveFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    const std::wstring target = WideFromUtf8(path);
    wchar_t temporary[MAX_PATH] = {};
    if (GetTempFileNameW(FolderOf(target).c_str(), L"pel", 0, temporary) == 0) {
        error = SystemMessage(GetLastError());
        return false;
    }
    const auto fail = [&](DWORD code) {
        error = SystemMessage(code);
        DeleteFileW(temporary);
        return false;
    };
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail(GetLastError());
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (WriteFile(file, data, chunk, &written, nullptr) == FALSE || written == 0) {
            const DWORD code = GetLastError();
            CloseHandle(file);
            return fail(code);
        }
        data += written;
        left -= written;
    }
    if (FlushFileBuffers(file) == FALSE) {
        const DWORD code = GetLastError();
        CloseHandle(file);
        return fail(code);
    }
    CloseHandle(file);
    if (MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == FALSE)
        return fail(GetLastError());
    return true;
}

}  // namespace pelmora
