#pragma once
// The names a screen reader gives a template's controls. A control with a caption of its own (button, check
// box, label, group box) speaks it; an edit, IP address, list or progress control takes the label
// immediately before it in template order, as the label beside it on screen; the template's accessibleName,
// where one is given, names any control that has neither.
#include <QtCore/QString>

#include <vector>

#include "ui/qt/DialogResource.h"

class QWidget;

namespace pelmora {

// A caption as a reader says it: the mnemonic marker '&' dropped ("&&" is one '&') unless the control shows
// '&' as it stands, and no surrounding blanks.
QString SpokenCaption(const ControlTemplate& control);

// The name control `index` of `controls` is given; empty when it speaks its own caption.
QString AccessibleNameFor(const std::vector<ControlTemplate>& controls, std::size_t index);

// Sets the name on the widget; an IP address control also names its four fields after it.
void ApplyAccessibleName(QWidget* widget, const QString& name);

}  // namespace pelmora
