#pragma once
// Makes the Qt widget for one template control, with the styles of the template applied.
#include "ui/qt/DialogResource.h"

class QWidget;

namespace pelmora {

// A widget of the kind the control names, child of `parent`, carrying the control's ID; not yet placed.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);

// The icon of an Icon control drawn to fit `size` pixels (icons stay square).
void SetIconControlSize(QWidget* iconControl, int iconId, const QSize& size);

}  // namespace pelmora
