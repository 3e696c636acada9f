#pragma once
// Message boxes, the wait cursor and the string table: the small pieces of user feedback the dialogs use.
#include "ui/WindowHandle_win32.h"

#include <string>

namespace pelmora {

enum class MessageKind { Information, Warning, Error };

// A modal message box with an OK button, owned by `owner` (or the thread's active window when null),
// titled with the program's name.
void ShowMessage(WindowHandle owner, const std::string& text, MessageKind kind);

// The text of string resource `id`; empty when there is none.
std::string ResourceString(int id);

// The hourglass for as long as the object lives; the cursor before it comes back afterwards.
class WaitCursor {
public:
    WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    WaitCursor(WaitCursor&&) = delete;
    WaitCursor& operator=(WaitCursor&&) = delete;
    ~WaitCursor();

private:
    void* m_previous;  // HCURSOR
};

}  // namespace pelmora
