#include "ui/qt/QtAccessibleNames.h"

#include <QtWidgets/QWidget>

#include "ui/qt/QtIpAddressCtrl.h"

namespace pelmora {

namespace {

bool HasOwnCaption(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::CheckBox:
        case ControlKind::Label:
        case ControlKind::GroupBox: return true;
        default: return false;
    }
}

}  // namespace

QString SpokenCaption(const ControlTemplate& control) {
    if (control.Has(CF_NOPREFIX)) return control.caption.trimmed();
    QString spoken;
    for (int i = 0; i < control.caption.size(); ++i) {
        if (control.caption[i] == QLatin1Char('&')) {
            if (i + 1 >= control.caption.size() || control.caption[i + 1] != QLatin1Char('&')) continue;
            ++i;
        }
        spoken += control.caption[i];
    }
    return spoken.trimmed();
}

QString AccessibleNameFor(const std::vector<ControlTemplate>& controls, std::size_t index) {
    const ControlTemplate& control = controls.at(index);
    if (!control.accessibleName.isEmpty()) return control.accessibleName;
    if (HasOwnCaption(control.kind) || index == 0) return {};
    const ControlTemplate& before = controls[index - 1];
    return before.kind == ControlKind::Label ? SpokenCaption(before) : QString();
}

void ApplyAccessibleName(QWidget* widget, const QString& name) {
    if (name.isEmpty()) return;
    if (auto* address = qobject_cast<QtIpAddressCtrl*>(widget)) {
        address->SetAccessibleLabel(name);
    } else {
        widget->setAccessibleName(name);
    }
}

}  // namespace pelmora
