#pragma once
// The small pieces of user feedback the dialogs use: message boxes, the wait cursor, the string table.
#include <string>

namespace pelmora {

class TemplateDialog;

enum class MessageKind { Plain, Information, Warning, Error };

// A modal message box with an OK button, owned by `owner`'s window (by the window in front when null),
// titled `caption`, or with the program's name when that is empty.
void ShowMessageBox(const TemplateDialog* owner, const std::string& text, const std::string& caption, MessageKind kind);

// The text of string resource `id`; empty when there is none.
std::string ResourceString(int id);

// The wait cursor for as long as the object lives, restored on every way out.
class WaitCursor {
public:
    WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    WaitCursor(WaitCursor&&) = delete;
    WaitCursor& operator=(WaitCursor&&) = delete;
    ~WaitCursor();

private:
    void* m_previous = nullptr;  // the cursor before, where the back end keeps it
};

// The normal cursor for a message box shown while a wait cursor is on; nothing otherwise.
class NormalCursor {
public:
    NormalCursor();
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;
    NormalCursor(NormalCursor&&) = delete;
    NormalCursor& operator=(NormalCursor&&) = delete;
    ~NormalCursor();

private:
    void* m_previous = nullptr;
    bool m_pushed = false;
};

}  // namespace pelmora
