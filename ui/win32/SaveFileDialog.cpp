// TemplateDialog::ChooseSaveFile and ChooseOpenFile on Windows: the common Save As and Open dialogs.
#include "ui/TemplateDialog.h"

#include "platform/WideText_win32.h"
#include "ui/win32/Win32DialogWindow.h"

#include "platform/Win32Headers_win32.h"

#include <commdlg.h>

#include <algorithm>

namespace pelmora {

namespace {

// The longest path the dialog may hand back (the limit of "\\?\" paths).
constexpr std::size_t PATH_BUFFER = 32768;

// "*.csv" → "csv"; none when the pattern names no single extension.
std::wstring DefaultExtension(const std::wstring& pattern) {
    const std::wstring first = pattern.substr(0, pattern.find(L';'));
    if (first.size() < 3 || first.compare(0, 2, L"*.") != 0) return {};
    std::wstring extension = first.substr(2);
    if (extension.find_first_of(L"*?") != std::wstring::npos) return {};
    return extension;
}

// Pairs of display text and pattern, each ended by a null, the whole by one more.
std::wstring FilterOf(const std::string& filterName, const std::wstring& pattern) {
    std::wstring filter;
    if (!pattern.empty()) {
        filter += WideFromUtf8(filterName) + L" (" + pattern + L")";
        filter.push_back(L'\0');
        filter += pattern;
        filter.push_back(L'\0');
    }
    filter += L"All files (*.*)";
    filter.push_back(L'\0');
    filter += L"*.*";
    filter.push_back(L'\0');
    return filter;
}

}  // namespace

std::string TemplateDialog::ChooseSaveFile(const std::string& title, const std::string& suggestedName,
                                           const std::string& filterName, const std::string& filterPattern) const {
    const std::wstring pattern = WideFromUtf8(filterPattern);
    const std::wstring filter = FilterOf(filterName, pattern);

    std::wstring path(PATH_BUFFER, L'\0');
    const std::wstring suggested = WideFromUtf8(suggestedName);
    std::copy_n(suggested.begin(), std::min(suggested.size(), PATH_BUFFER - 1), path.begin());
    const std::wstring caption = WideFromUtf8(title);
    const std::wstring extension = DefaultExtension(pattern);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window->Handle() != nullptr ? m_window->Handle() : OwnerForNewWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (GetSaveFileNameW(&dialog) == FALSE) return {};
    return Utf8FromWide(path.c_str());
}

std::string TemplateDialog::ChooseOpenFile(const std::string& title, const std::string& filterName,
                                           const std::string& filterPattern) const {
    const std::wstring filter = FilterOf(filterName, WideFromUtf8(filterPattern));
    std::wstring path(PATH_BUFFER, L'\0');
    const std::wstring caption = WideFromUtf8(title);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window->Handle() != nullptr ? m_window->Handle() : OwnerForNewWindow();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog) == FALSE) return {};
    return Utf8FromWide(path.c_str());
}

}  // namespace pelmora
