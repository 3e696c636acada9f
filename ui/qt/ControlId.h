#pragma once
// The numeric ID a template gives a control, kept on the widget so any code can find it again.
class QWidget;

namespace pelmora {

// Stores `id` on the widget (property "controlId") and names it "ctl_<id>".
void SetControlId(QWidget* control, int id);
// The stored ID, or `fallback` when the widget carries none.
int ControlIdOf(const QWidget* control, int fallback = -1);
// The first descendant of `root` (in creation order) that carries `id`; null when there is none.
QWidget* FindControl(const QWidget* root, int id);

}  // namespace pelmora
