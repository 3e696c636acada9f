#pragma once
// The edit dialog: one device's IP and BACnet settings, checked on Save, written to the device, and
// followed by the wait while it restarts. The dialog maps the settings to its controls and back; the
// device set does the write.
#include <QtCore/QString>

#include <cstdint>

#include "devices/DeviceSet.h"
#include "devices/DeviceSettings.h"
#include "protocol/DeviceRecord.h"
#include "ui/TemplateDialog.h"

class QLineEdit;

namespace pelmora {

class IpAddressCtrl;

constexpr int FIXED_TO_DHCP_WAIT_SECONDS = 35;
constexpr int RESTART_WAIT_SECONDS = 20;
// What DHCP switched off puts into a blank or 0.0.0.0 address control: 192.168.92.92.
constexpr Ipv4Host DEFAULT_STATIC_ADDRESS{0xC0A85C5Cu};

// The mask DHCP switched off puts into a blank or 0.0.0.0 mask control, from the address's first octets.
Ipv4Host DefaultSubnetMask(Ipv4Host address);

class CDialogEdit : public TemplateDialog {
    Q_OBJECT

public:
    explicit CDialogEdit(QWidget* parent = nullptr);

    // Shows the record's settings; on Save writes them through the device set and waits for the
    // restart. True when the dialog ended through Save (whether or not the wait was cancelled); false
    // when it was cancelled or an argument is null. Both are borrowed for the call.
    bool EditDevice(DeviceRecord* record, DeviceSet* devices);

    // Commands: Save (IDOK), the DHCP and Foreign device check boxes.
    void OnSave();
    void OnDhcpClicked();
    void OnForeignDeviceClicked();

protected:
    void DoDataExchange(DataExchange& exchange) override;
    bool OnInitDialog() override;

private:
    void FillFromSettings(const DeviceSettings& settings);
    void EnableAddressControls();
    DeviceSettings SettingsForWrite() const;
    void WriteConfiguration();

    DeviceRecord* m_record = nullptr;
    DeviceSet* m_devices = nullptr;
    int m_dhcp = 0;
    QLineEdit* m_descriptionEdit = nullptr;
    QLineEdit* m_deviceIdEdit = nullptr;
    QLineEdit* m_elaEdit = nullptr;
    QLineEdit* m_locationEdit = nullptr;
    QLineEdit* m_macEdit = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_plaEdit = nullptr;
    QLineEdit* m_portEdit = nullptr;
    IpAddressCtrl* m_addressCtrl = nullptr;
    IpAddressCtrl* m_dnsCtrl = nullptr;
    IpAddressCtrl* m_gatewayCtrl = nullptr;
    IpAddressCtrl* m_subnetMaskCtrl = nullptr;
    QString m_description;
    std::uint8_t m_pla = 254;
    std::uint8_t m_ela = 254;
    int m_port = 47808;
    QString m_location;
    QString m_macText;
    QString m_name;
    std::uint32_t m_address = 0;
    std::uint32_t m_dns = 0;
    std::uint32_t m_gateway = 0;
    std::uint32_t m_subnetMask = 0;
    QString m_ipText;
    int m_foreignDevice = 0;
    QString m_bbmdAddress;
    QLineEdit* m_bbmdEdit = nullptr;
    int m_debug = 0;
    QString m_deviceIdText;
    QString m_elaText;
    QString m_plaText;
    QString m_portText;
};

}  // namespace pelmora
