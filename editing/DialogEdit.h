#pragma once
// The edit dialog: one device's IP and BACnet settings, checked on Save, written to the device, and
// followed by the wait while it restarts. The dialog maps the settings to its controls and back; the
// device set does the write.
#include <cstdint>
#include <string>

#include "devices/DeviceSet.h"
#include "devices/DeviceSettings.h"
#include "protocol/DeviceRecord.h"
#include "ui/TemplateDialog.h"

namespace pelmora {

// What DHCP switched off puts into a blank or 0.0.0.0 address control: 192.168.92.92.
constexpr Ipv4Host DEFAULT_STATIC_ADDRESS{0xC0A85C5Cu};

// The mask DHCP switched off puts into a blank or 0.0.0.0 mask control, from the address's first octets.
Ipv4Host DefaultSubnetMask(Ipv4Host address);

class CDialogEdit : public TemplateDialog {
public:
    CDialogEdit();

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
    std::string m_description;
    std::uint8_t m_pla = 254;
    std::uint8_t m_ela = 254;
    int m_port = 47808;
    std::string m_location;
    std::string m_macText;
    std::string m_name;
    std::uint32_t m_address = 0;
    std::uint32_t m_dns = 0;
    std::uint32_t m_gateway = 0;
    std::uint32_t m_subnetMask = 0;
    std::string m_ipText;
    int m_foreignDevice = 0;
    std::string m_bbmdAddress;
    int m_debug = 0;
    std::string m_deviceIdText;
    std::string m_elaText;
    std::string m_plaText;
    std::string m_portText;
};

}  // namespace pelmora
