#include "ui/qt/ControlId.h"

#include <QtCore/QVariant>
#include <QtWidgets/QWidget>

namespace pelmora {

namespace {
constexpr char CONTROL_ID_PROPERTY[] = "controlId";
}

void SetControlId(QWidget* control, int id) {
    control->setProperty(CONTROL_ID_PROPERTY, id);
    control->setObjectName(QStringLiteral("ctl_%1").arg(id));
}

int ControlIdOf(const QWidget* control, int fallback) {
    const QVariant id = control->property(CONTROL_ID_PROPERTY);
    return id.isValid() ? id.toInt() : fallback;
}

QWidget* FindControl(const QWidget* root, int id) {
    if (root == nullptr) return nullptr;
    const auto widgets = root->findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const QVariant stored = widget->property(CONTROL_ID_PROPERTY);
        if (stored.isValid() && stored.toInt() == id) return widget;
    }
    return nullptr;
}

}  // namespace pelmora
