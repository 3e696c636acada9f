#pragma once
// An IPv4 address entry of four fields 0..255, each of which may be left blank.
#include <QtWidgets/QWidget>

#include <array>
#include <cstdint>

class QLineEdit;

namespace pelmora {

class QtIpAddressCtrl : public QWidget {
    Q_OBJECT

public:
    static constexpr int FIELD_COUNT = 4;

    explicit QtIpAddressCtrl(QWidget* parent = nullptr);

    // True when no field holds a digit.
    bool IsBlank() const;
    // The address, first octet most significant, blank fields as 0; returns how many fields are filled.
    int GetAddress(std::uint32_t& address) const;
    // Fills all four fields.
    void SetAddress(std::uint32_t address);
    void ClearAddress();

    // What a screen reader calls the control; its fields are "<label>, field 1" to "<label>, field 4".
    void SetAccessibleLabel(const QString& label);

    // Whether Tab stops at this control.
    void SetTabStop(bool tabStop);
    // One field (0 is the first octet) and the focus moved to it.
    QLineEdit* Field(int index) const;
    void SetFieldFocus(int index);

signals:
    // Any field's text changed, by typing or by the program.
    void addressChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int IndexOf(const QObject* field) const;
    void OnFieldEdited(int index);
    bool HandleFieldKey(int index, QKeyEvent* event);

    std::array<QLineEdit*, FIELD_COUNT> m_fields{};
};

}  // namespace pelmora
