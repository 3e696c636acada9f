// drive_window_win32: drives a running dialog program from outside, as a user would, for the end-to-end
// test under Wine. Windows are found by title among the top-level windows.
//   wait TITLE MS           until a visible window with TITLE exists (exit 1 on time-out)
//   gone TITLE MS           until no window with TITLE exists
//   rows TITLE LIST_ID      the list's rows, one a line, cells separated by tabs (UTF-8)
//   select TITLE LIST_ID ROW  selects ROW alone, as a click on it would
//   click TITLE CONTROL_ID  a click on the button: BN_CLICKED posted to the dialog
//   command TITLE ID        a menu command: WM_COMMAND posted to the window, as a menu item sends it
//   settext TITLE IDS TEXT  the text of the first shown control of IDS (comma-separated), as typing
//                           would leave it; waits for the control
//   marks TITLE LIST_ID COLUMN  each row's cell text, the icon it shows (warning, information, none) and
//                           the row's accessible description, tab-separated
//   escape TITLE            the Escape key, posted to the dialog
//   shot TITLE FILE.png     the window as it is on the screen
// A list view's texts live in the other process: the item structures are written there and read back.
#include "platform/WideText_win32.h"
#include "platform/Win32Headers_win32.h"
#include "tests/ui/MarkIconPixels_win32.h"

#include <commctrl.h>
#include <oleacc.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using pelmora::Utf8FromWide;
using pelmora::WideFromUtf8;

HWND FindByTitle(const std::string& title) { return FindWindowW(nullptr, WideFromUtf8(title).c_str()); }

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Memory in the list's process for one message's structure and its text.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size) : m_size(size) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (m_process != nullptr)
            m_memory = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (m_memory != nullptr) VirtualFreeEx(m_process, m_memory, 0, MEM_RELEASE);
        if (m_process != nullptr) CloseHandle(m_process);
    }
    bool Valid() const { return m_memory != nullptr; }
    char* Address(std::size_t offset = 0) const { return static_cast<char*>(m_memory) + offset; }
    bool Write(const void* data, std::size_t size, std::size_t offset = 0) const {
        return WriteProcessMemory(m_process, Address(offset), data, size, nullptr) != FALSE;
    }
    bool Read(void* data, std::size_t size, std::size_t offset = 0) const {
        return ReadProcessMemory(m_process, Address(offset), data, size, nullptr) != FALSE;
    }

private:
    HANDLE m_process = nullptr;
    void* m_memory = nullptr;
    std::size_t m_size;
};

// The text of a cell of a list view in another process.
std::string CellText(HWND list, int row, int column) {
    constexpr int TEXT_CHARS = 512;
    RemoteBuffer buffer(list, sizeof(LVITEMW) + TEXT_CHARS * sizeof(wchar_t));
    if (!buffer.Valid()) return {};
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = TEXT_CHARS;
    item.pszText = reinterpret_cast<LPWSTR>(buffer.Address(sizeof(LVITEMW)));
    buffer.Write(&item, sizeof item);
    const auto length = static_cast<std::size_t>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.Address())));
    std::wstring text(length, L'\0');
    if (length > 0) buffer.Read(text.data(), length * sizeof(wchar_t), sizeof(LVITEMW));
    return Utf8FromWide(text);
}

int Rows(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    if (list == nullptr) return 2;
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int columns = header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    for (int row = 0; row < rows; ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            if (column > 0) line += '\t';
            line += CellText(list, row, column);
        }
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

int Select(HWND dialog, int listId, int row) {
    HWND list = GetDlgItem(dialog, listId);
    if (list == nullptr) return 2;
    RemoteBuffer buffer(list, sizeof(LVITEMW));
    if (!buffer.Valid()) return 2;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    buffer.Write(&item, sizeof item);
    return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.Address()))
               ? 0
               : 1;
}

int Click(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr || IsWindowEnabled(control) == FALSE) return 1;
    // Posted: the command may open a modal dialog, and a sent message would wait for it to close.
    const WPARAM command = MAKEWPARAM(static_cast<WORD>(controlId), BN_CLICKED);
    return PostMessageW(dialog, WM_COMMAND, command, reinterpret_cast<LPARAM>(control)) ? 0 : 1;
}

int Command(HWND window, int id) {
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0) ? 0 : 1;
}

// Sent, not GetWindowTextW: that reads another process's control's caption, not what it holds.
std::string WindowText(HWND window) {
    const auto length = static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(length + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
    return Utf8FromWide(text);
}

// The dialog's children, for a failure's message: a control may be missing or named otherwise.
void PrintChildren(HWND dialog) {
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            std::printf("child %d %s%s\n", GetDlgCtrlID(child), Utf8FromWide(name).c_str(),
                        IsWindowVisible(child) != FALSE ? "" : " (hidden)");
            return TRUE;
        },
        0);
}

// A system dialog may show before all its controls are there: the control is waited for, and the text
// read back, since another part of the dialog may set it too while it starts.
int SetText(HWND dialog, const std::vector<int>& ids, const std::string& text, int milliseconds) {
    const bool set = WaitFor(
        [&] {
        HWND control = nullptr;
        for (const int id : ids) {
            HWND candidate = GetDlgItem(dialog, id);
            if (control == nullptr && candidate != nullptr && IsWindowVisible(candidate) != FALSE) control = candidate;
        }
        if (control == nullptr) return false;
        // The system copies a WM_SETTEXT's string into the other process.
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
        return WindowText(control) == text;
        },
        milliseconds);
    if (!set) PrintChildren(dialog);
    return set ? 0 : 1;
}

// Which system icon the cell shows at its right end, where the list draws a mark's icon: "warning" (the
// yellow triangle), "information" (the blue disc) or "none", told by the screen's pixels there.
std::string IconIn(HWND list, int row, int column) {
    RemoteBuffer buffer(list, sizeof(RECT));
    if (!buffer.Valid()) return "?";
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    buffer.Write(&cell, sizeof cell);
    if (SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.Address())) ==
        FALSE)
        return "?";
    buffer.Read(&cell, sizeof cell);
    // Column 0's bounds are the whole row's.
    if (column == 0) cell.right = cell.left + static_cast<LONG>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    const int size = GetSystemMetrics(SM_CXSMICON);
    POINT corner{cell.right - size - 4, cell.top};
    ClientToScreen(list, &corner);
    const RECT area{corner.x, corner.y, corner.x + size + 4, corner.y + cell.bottom - cell.top};
    HDC screen = GetDC(nullptr);
    const std::string icon = pelmora::test::MarkIconPainted(screen, area);
    ReleaseDC(nullptr, screen);
    return icon;
}

// What a screen reader reads as the row's description: the list view's accessible child row + 1.
std::string AccessibleDescription(IAccessible* accessible, int row) {
    if (accessible == nullptr) return {};
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = row + 1;
    BSTR description = nullptr;
    if (FAILED(accessible->get_accDescription(child, &description)) || description == nullptr) return {};
    const std::string text = Utf8FromWide(std::wstring(description, SysStringLen(description)));
    SysFreeString(description);
    return text;
}

int Marks(HWND dialog, int listId, int column) {
    HWND list = GetDlgItem(dialog, listId);
    if (list == nullptr) return 2;
    SetForegroundWindow(dialog);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(list, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))))
        accessible = nullptr;
    const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::printf("%s\t%s\t%s\n", CellText(list, row, column).c_str(), IconIn(list, row, column).c_str(),
                    AccessibleDescription(accessible, row).c_str());
    }
    if (accessible != nullptr) accessible->Release();
    CoUninitialize();
    return 0;
}

int Escape(HWND dialog) {
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16;
    const bool sent = PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, scanCode | 1) != FALSE &&
                      PostMessageW(dialog, WM_KEYUP, VK_ESCAPE, scanCode | 1 | (3LL << 30)) != FALSE;
    return sent ? 0 : 1;
}

void PutBigEndian(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const auto crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBigEndian(out, static_cast<std::uint32_t>(crc));
}

// An RGB PNG of the window's screen pixels.
int Shot(HWND window, const std::string& path) {
    SetForegroundWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return 1;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);

    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * static_cast<std::size_t>(width)));
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const unsigned char* bgra =
                pixels +
                (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
            raw.insert(raw.end(), {bgra[2], bgra[1], bgra[0]});
        }
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return 1;
    packed.resize(packedSize);
    std::vector<unsigned char> header;
    PutBigEndian(header, static_cast<std::uint32_t>(width));
    PutBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no filter choice, no interlace
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    FILE* file = _wfopen(WideFromUtf8(path).c_str(), L"wb");
    if (file == nullptr) return 1;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs(
            "usage: drive_window_win32 wait|gone|rows|marks|select|click|command|settext|escape|shot TITLE "
            "[ARGUMENT...]\n",
            stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::string title = argv[2];
    const auto number = [&](int index) { return index < argc ? std::atoi(argv[index]) : 0; };
    if (command == "wait")
        return WaitFor([&] { return IsWindowVisible(FindByTitle(title)) != FALSE; }, number(3)) ? 0 : 1;
    if (command == "gone") return WaitFor([&] { return FindByTitle(title) == nullptr; }, number(3)) ? 0 : 1;
    HWND window = FindByTitle(title);
    if (window == nullptr) {
        std::fprintf(stderr, "drive_window_win32: no window \"%s\"\n", title.c_str());
        return 1;
    }
    if (command == "rows") return Rows(window, number(3));
    if (command == "select") return Select(window, number(3), number(4));
    if (command == "click") return Click(window, number(3));
    if (command == "command") return Command(window, number(3));
    if (command == "marks") return Marks(window, number(3), number(4));
    if (command == "settext" && argc > 4) {
        std::vector<int> ids;
        for (const char* id = argv[3]; id != nullptr; id = std::strchr(id, ',')) {
            if (*id == ',') ++id;
            ids.push_back(std::atoi(id));
        }
        return SetText(window, ids, argv[4], 10000);
    }
    if (command == "escape") return Escape(window);
    if (command == "shot" && argc > 3) return Shot(window, argv[3]);
    std::fprintf(stderr, "drive_window_win32: unknown command %s\n", command.c_str());
    return 2;
}
