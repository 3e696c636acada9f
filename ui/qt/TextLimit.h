#pragma once
// A character limit on a line edit that stops typing beyond it but never cuts a text the program put
// there: a longer text can be shortened, not lengthened, until it fits the limit.
#include <QtGui/QValidator>

class QLineEdit;

namespace pelmora {

// Characters as the user sees them: code points, so a character outside the BMP counts once.
int CharacterCount(const QString& text);

class TextLimitValidator : public QValidator {
    Q_OBJECT

public:
    TextLimitValidator(int limit, QObject* parent);

    int Limit() const { return m_limit; }
    void SetLimit(int limit) { m_limit = limit; }
    // Lets the next change bring the text to `characters` even above the limit (a text set by the program).
    void AllowLength(int characters) { m_allowed = characters; }

    State validate(QString& input, int& position) const override;

private:
    int m_limit;
    mutable int m_allowed = 0;  // the longest text accepted so far that is still in the edit
};

// Gives `edit` a limit of `limit` characters (0: none) and then shows `text` whole.
void SetLimitedText(QLineEdit* edit, const QString& text, int limit);

}  // namespace pelmora
