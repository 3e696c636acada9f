#pragma once
// The progress bar (msctls_progress32) of a dialog.
#include "ui/win32/WindowHandle.h"

namespace pelmora {

class ProgressCtrl {
public:
    explicit ProgressCtrl(WindowHandle control = nullptr) : m_control(control) {}
    void Attach(WindowHandle control) { m_control = control; }
    WindowHandle Handle() const { return m_control; }

    void SetRange(int low, int high);
    void GetRange(int& low, int& high) const;
    void SetPos(int position);
    int GetPos() const;

private:
    WindowHandle m_control;
};

}  // namespace pelmora
