#pragma once
// The wait cursor while a blocking operation runs, restored on every way out.
namespace pelmora {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// The normal cursor for a message box shown while a wait cursor is on; nothing otherwise.
class NormalCursor {
public:
    NormalCursor();
    ~NormalCursor();
    NormalCursor(const NormalCursor&) = delete;
    NormalCursor& operator=(const NormalCursor&) = delete;

private:
    bool m_pushed = false;
};

}  // namespace pelmora
