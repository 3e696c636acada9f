#include "ui/qt/TextLimit.h"

#include <QtWidgets/QLineEdit>

#include <algorithm>

namespace pelmora {

int CharacterCount(const QString& text) {
    int count = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        ++count;
    }
    return count;
}

TextLimitValidator::TextLimitValidator(int limit, QObject* parent) : QValidator(parent), m_limit(limit) {}

QValidator::State TextLimitValidator::validate(QString& input, int& position) const {
    const int ceiling = std::max(m_limit, m_allowed);
    int excess = CharacterCount(input) - ceiling;
    if (excess > 0) {
        // Drop what was just inserted (the characters before the cursor) beyond the ceiling, as an edit
        // control with a text limit truncates a paste.
        while (excess > 0 && position > 0) {
            int start = position - 1;
            if (start > 0 && input.at(start).isLowSurrogate() && input.at(start - 1).isHighSurrogate()) --start;
            input.remove(start, position - start);
            position = start;
            --excess;
        }
        while (excess > 0 && !input.isEmpty()) {
            int length = 1;
            if (input.size() >= 2 && input.at(input.size() - 1).isLowSurrogate() &&
                input.at(input.size() - 2).isHighSurrogate()) {
                length = 2;
            }
            input.chop(length);
            --excess;
        }
        position = std::min(position, static_cast<int>(input.size()));
    }
    // What the edit holds from now on bounds every later change.
    m_allowed = std::min(m_allowed, CharacterCount(input));
    return Acceptable;
}

void SetLimitedText(QLineEdit* edit, const QString& text, int limit) {
    auto* validator = qobject_cast<TextLimitValidator*>(const_cast<QValidator*>(edit->validator()));
    if (limit <= 0) {
        if (validator != nullptr) {
            edit->setValidator(nullptr);
            delete validator;
        }
        edit->setMaxLength(32767);
        edit->setText(text);
        return;
    }
    if (validator == nullptr) {
        validator = new TextLimitValidator(limit, edit);
        edit->setValidator(validator);
    }
    validator->SetLimit(limit);
    validator->AllowLength(CharacterCount(text));
    // QLineEdit's own limit would cut the text; the validator does the limiting instead.
    edit->setMaxLength(32767);
    edit->setText(text);
}

}  // namespace pelmora
