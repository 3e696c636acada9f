#include "ui/qt/QtIpAddressCtrl.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtGui/QRegularExpressionValidator>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionFrame>

#include <algorithm>

namespace pelmora {

namespace {
constexpr int MAX_OCTET = 255;
constexpr int DIGITS_PER_FIELD = 3;
}  // namespace

QtIpAddressCtrl::QtIpAddressCtrl(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    layout->setContentsMargins(frame, frame, frame, frame);
    layout->setSpacing(0);

    auto* digits = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
    for (int i = 0; i < FIELD_COUNT; ++i) {
        if (i > 0) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setAlignment(Qt::AlignCenter);
            dot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
            layout->addWidget(dot);
        }
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(DIGITS_PER_FIELD);
        field->setValidator(digits);
        field->setMinimumWidth(0);
        field->setAttribute(Qt::WA_MacShowFocusRect, false);
        // The fields draw nothing of their own behind the digits: the control paints one edit frame.
        field->setAutoFillBackground(false);
        QPalette palette = field->palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        field->setPalette(palette);
        // Only the first field is a tab stop, so Tab moves from control to control, not field to field.
        field->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i] { OnFieldEdited(i); });
        connect(field, &QLineEdit::textChanged, this, &QtIpAddressCtrl::addressChanged);
        layout->addWidget(field, 1);
        m_fields[static_cast<std::size_t>(i)] = field;
    }
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(m_fields[0]);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

bool QtIpAddressCtrl::IsBlank() const {
    for (const QLineEdit* field : m_fields) {
        if (!field->text().isEmpty()) return false;
    }
    return true;
}

int QtIpAddressCtrl::GetAddress(std::uint32_t& address) const {
    int filled = 0;
    std::uint32_t value = 0;
    for (const QLineEdit* field : m_fields) {
        std::uint32_t octet = 0;
        if (!field->text().isEmpty()) {
            ++filled;
            octet = std::min<std::uint32_t>(field->text().toUInt(), MAX_OCTET);
        }
        value = (value << 8) | octet;
    }
    address = value;
    return filled;
}

void QtIpAddressCtrl::SetAddress(std::uint32_t address) {
    for (int i = 0; i < FIELD_COUNT; ++i) {
        const std::uint32_t octet = (address >> (8 * (FIELD_COUNT - 1 - i))) & 0xFFu;
        m_fields[static_cast<std::size_t>(i)]->setText(QString::number(octet));
    }
}

void QtIpAddressCtrl::ClearAddress() {
    for (QLineEdit* field : m_fields) field->clear();
}

void QtIpAddressCtrl::SetAccessibleLabel(const QString& label) {
    setAccessibleName(label);
    for (int i = 0; i < FIELD_COUNT; ++i)
        m_fields[static_cast<std::size_t>(i)]->setAccessibleName(QStringLiteral("%1, field %2").arg(label).arg(i + 1));
}

void QtIpAddressCtrl::SetTabStop(bool tabStop) {
    m_fields[0]->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

QLineEdit* QtIpAddressCtrl::Field(int index) const {
    if (index < 0 || index >= FIELD_COUNT) return nullptr;
    return m_fields[static_cast<std::size_t>(index)];
}

void QtIpAddressCtrl::SetFieldFocus(int index) {
    if (QLineEdit* field = Field(index)) {
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
    }
}

int QtIpAddressCtrl::IndexOf(const QObject* field) const {
    for (int i = 0; i < FIELD_COUNT; ++i) {
        if (m_fields[static_cast<std::size_t>(i)] == field) return i;
    }
    return -1;
}

void QtIpAddressCtrl::OnFieldEdited(int index) {
    QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    if (field->text().toUInt() > MAX_OCTET) field->setText(QString::number(MAX_OCTET));
    if (field->text().size() == DIGITS_PER_FIELD && field->cursorPosition() == DIGITS_PER_FIELD &&
        index + 1 < FIELD_COUNT) {
        SetFieldFocus(index + 1);
    }
}

bool QtIpAddressCtrl::HandleFieldKey(int index, QKeyEvent* event) {
    QLineEdit* field = m_fields[static_cast<std::size_t>(index)];
    const bool atStart = field->cursorPosition() == 0 && !field->hasSelectedText();
    const bool atEnd = field->cursorPosition() == field->text().size() && !field->hasSelectedText();
    switch (event->key()) {
        case Qt::Key_Period:
            // A dot ends a field that holds something; in an empty field it is ignored.
            if (!field->text().isEmpty() && index + 1 < FIELD_COUNT) SetFieldFocus(index + 1);
            return true;
        case Qt::Key_Right:
            if (atEnd && index + 1 < FIELD_COUNT) {
                SetFieldFocus(index + 1);
                m_fields[static_cast<std::size_t>(index) + 1]->setCursorPosition(0);
                return true;
            }
            return false;
        case Qt::Key_Left:
        case Qt::Key_Backspace:
            if (atStart && index > 0) {
                QLineEdit* previous = m_fields[static_cast<std::size_t>(index - 1)];
                previous->setFocus(Qt::OtherFocusReason);
                previous->deselect();
                previous->setCursorPosition(static_cast<int>(previous->text().size()));
                return true;
            }
            return false;
        default: return false;
    }
}

bool QtIpAddressCtrl::eventFilter(QObject* watched, QEvent* event) {
    const int index = IndexOf(watched);
    if (index >= 0) {
        if (event->type() == QEvent::KeyPress) {
            if (HandleFieldKey(index, static_cast<QKeyEvent*>(event))) return true;
        } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            update();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QtIpAddressCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame option;
    option.initFrom(this);
    option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    for (const QLineEdit* field : m_fields) {
        if (field->hasFocus()) option.state |= QStyle::State_HasFocus;
    }
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

}  // namespace pelmora
