#pragma once
// Moves values between a dialog's members and its controls in one direction. Saving also validates:
// the first failure shows its message, puts the focus on the control, and turns every later call of
// the same exchange into a no-op. Texts are UTF-8.
#include <cstdint>
#include <string>

namespace pelmora {

class TemplateDialog;

class DataExchange {
public:
    DataExchange(TemplateDialog& dialog, bool saveAndValidate);
    DataExchange(const DataExchange&) = delete;
    DataExchange& operator=(const DataExchange&) = delete;
    DataExchange(DataExchange&&) = delete;
    DataExchange& operator=(DataExchange&&) = delete;
    ~DataExchange() = default;

    bool IsSaving() const { return m_saving; }
    bool Ok() const { return !m_failed; }
    bool Failed() const { return m_failed; }
    // The control that failed the exchange; 0 while it has not failed.
    int FailedControl() const { return m_failedControl; }

    // An edit control's text. With `limit` > 0: typing stops at `limit` characters (a longer text
    // set here is still shown whole), and saving fails on a text longer than `limit`.
    void Text(int id, std::string& member, int limit = 0);
    // A check box: 1 checked, 0 not.
    void Check(int id, int& member);
    // An IP address control, first octet most significant; blank fields save as 0.
    void IpAddress(int id, std::uint32_t& member);

    // The message shown when a text is longer than `limit` characters.
    static std::string TooLongMessage(int limit);

private:
    // Ends the exchange at control `id`; with a message, shows it and puts the focus on the control.
    void Fail(int id, const std::string& message);

    TemplateDialog& m_dialog;
    bool m_saving;
    bool m_failed = false;
    int m_failedControl = 0;
};

}  // namespace pelmora
