#include "ui/qt/ControlFactory.h"

#include "ui/qt/AppIcon.h"
#include "ui/qt/ControlId.h"
#include "ui/qt/QtIpAddressCtrl.h"
#include "ui/qt/QtReportList.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>

#include <algorithm>

namespace pelmora {

namespace {

QWidget* MakeWidget(const ControlTemplate& control, QWidget* parent) {
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new QPushButton(control.caption, parent);
            // Only the template's default button answers Enter; a focused other button does not take it over.
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefaultPushButton);
            return button;
        }
        case ControlKind::CheckBox: return new QCheckBox(control.caption, parent);
        case ControlKind::Edit:
        case ControlKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(control.kind == ControlKind::ReadOnlyEdit);
            edit->setFrame(control.Has(CF_BORDER));
            return edit;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(control.caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::GroupBox: return new QGroupBox(control.caption, parent);
        case ControlKind::ListView: return new QtReportList(parent);
        case ControlKind::IpAddress: return new QtIpAddressCtrl(parent);
        case ControlKind::ProgressBar: {
            auto* progress = new QProgressBar(parent);
            progress->setRange(0, 100);
            progress->setValue(0);
            progress->setTextVisible(false);
            return progress;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
    }
    return new QWidget(parent);
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
    QWidget* widget = MakeWidget(control, parent);
    SetControlId(widget, control.id);
    if (auto* address = qobject_cast<QtIpAddressCtrl*>(widget)) {
        address->SetTabStop(control.Has(CF_TABSTOP));
    } else if (!control.Has(CF_TABSTOP) && (widget->focusPolicy() & Qt::TabFocus) != 0) {
        widget->setFocusPolicy(static_cast<Qt::FocusPolicy>(widget->focusPolicy() & ~Qt::TabFocus));
    }
    if (control.Has(CF_DISABLED)) widget->setEnabled(false);
    return widget;
}

void SetIconControlSize(QWidget* iconControl, int iconId, const QSize& size) {
    auto* label = qobject_cast<QLabel*>(iconControl);
    if (label == nullptr) return;
    const int side = std::max(1, std::min(size.width(), size.height()));
    label->setPixmap(LoadIcon(iconId).pixmap(side, side));
}

}  // namespace pelmora
