#include "editing/DialogEdit.h"

#include <string>

#include "devices/SettingChecks.h"
#include "editing/DlgWait.h"
#include "protocol/MacAddress.h"
#include "resources/ResourceIds.h"
#include "ui/DataExchange.h"

namespace pelmora {

namespace {

constexpr char FACTORY_DEFAULT_ID_TEXT[] = "-1";

}  // namespace

Ipv4Host DefaultSubnetMask(Ipv4Host address) {
    const Ipv4Octets octets = ToOctets(address);
    if (octets.bytes[0] == 10) return Ipv4Host{0xFF000000u};
    if (octets.bytes[0] == 172 && octets.bytes[1] == 16) return Ipv4Host{0xFFFF0000u};
    return Ipv4Host{0xFFFFFF00u};
}

CDialogEdit::CDialogEdit() : TemplateDialog(IDD_EDIT_DIALOG) {
    MapCommand(IDOK, [this] { OnSave(); });
    MapCommand(IDC_DHCP, [this] { OnDhcpClicked(); });
    MapCommand(IDC_FOREIGN_DEVICE, [this] { OnForeignDeviceClicked(); });
}

bool CDialogEdit::EditDevice(DeviceRecord* record, DeviceSet* devices) {
    if (record == nullptr || devices == nullptr) return false;
    m_record = record;
    m_devices = devices;
    FillFromSettings(SettingsFromRecord(*record));
    if (DoModal() != IDOK) return false;
    CDlgWait wait;
    wait.RunWait(RestartWaitSeconds(record->dhcp != 0, m_dhcp == 1));
    return true;
}

void CDialogEdit::FillFromSettings(const DeviceSettings& settings) {
    m_macText = MacText(settings.mac);
    m_ipText = ToText(settings.currentAddress);
    m_address = settings.address.value_or(ANY_ADDRESS).value;
    m_subnetMask = settings.subnetMask.value_or(ANY_ADDRESS).value;
    m_gateway = settings.gateway.value_or(ANY_ADDRESS).value;
    m_dns = settings.dns.value_or(ANY_ADDRESS).value;
    m_dhcp = settings.dhcp ? 1 : 0;
    m_ela = settings.ela;
    m_elaText = std::to_string(m_ela);
    m_pla = settings.pla;
    m_plaText = std::to_string(m_pla);
    m_port = settings.port;
    m_portText = std::to_string(m_port);
    m_description = settings.description;
    m_deviceIdText = settings.deviceId == FACTORY_DEFAULT_DEVICE_ID ? std::string(FACTORY_DEFAULT_TEXT)
                                                                    : std::to_string(settings.deviceId);
    m_location = settings.location;
    m_name = settings.name;
    m_bbmdAddress = settings.bbmdAddress;
    m_foreignDevice = settings.foreignDevice ? 1 : 0;
    m_debug = settings.debug ? 1 : 0;
}

void CDialogEdit::DoDataExchange(DataExchange& exchange) {
    exchange.Check(IDC_DHCP, m_dhcp);
    exchange.Text(IDC_DESCRIPTION, m_description, DESCRIPTION_LIMIT);
    exchange.Text(IDC_LOCATION, m_location, LOCATION_LIMIT);
    exchange.Text(IDC_MAC_TEXT, m_macText);
    exchange.Text(IDC_NAME, m_name, NAME_LIMIT);
    exchange.IpAddress(IDC_ADDRESS, m_address);
    exchange.IpAddress(IDC_DNS, m_dns);
    exchange.IpAddress(IDC_GATEWAY, m_gateway);
    exchange.IpAddress(IDC_SUBNET_MASK, m_subnetMask);
    exchange.Text(IDC_IP_TEXT, m_ipText);
    exchange.Check(IDC_FOREIGN_DEVICE, m_foreignDevice);
    exchange.Text(IDC_BBMD_ADDRESS, m_bbmdAddress);
    exchange.Check(IDC_DEBUG, m_debug);
    exchange.Text(IDC_DEVICE_ID, m_deviceIdText, DEVICE_ID_TEXT_LIMIT);
    exchange.Text(IDC_ELA, m_elaText);
    exchange.Text(IDC_PLA, m_plaText);
    exchange.Text(IDC_PORT, m_portText);
}

bool CDialogEdit::OnInitDialog() {
    TemplateDialog::OnInitDialog();
    EnableAddressControls();
    EnableControl(IDC_BBMD_ADDRESS, m_foreignDevice == 1);
    return true;
}

void CDialogEdit::EnableAddressControls() {
    for (const int id : {IDC_ADDRESS, IDC_DNS, IDC_GATEWAY, IDC_SUBNET_MASK}) EnableControl(id, m_dhcp == 0);
}

void CDialogEdit::OnDhcpClicked() {
    UpdateData(true);
    if (m_dhcp == 0 && HasControl(IDC_ADDRESS) && HasControl(IDC_SUBNET_MASK)) {
        std::uint32_t value = 0;
        if (GetAddress(IDC_ADDRESS, value) < ADDRESS_FIELDS || value == 0)
            SetAddress(IDC_ADDRESS, DEFAULT_STATIC_ADDRESS.value);
        std::uint32_t maskValue = 0;
        if (GetAddress(IDC_SUBNET_MASK, maskValue) < ADDRESS_FIELDS || maskValue == 0) {
            GetAddress(IDC_ADDRESS, value);
            SetAddress(IDC_SUBNET_MASK, DefaultSubnetMask(Ipv4Host{value}).value);
        }
    }
    EnableAddressControls();
}

void CDialogEdit::OnForeignDeviceClicked() {
    UpdateData(true);
    // A too-long text stops the exchange before it reaches this check box; the box itself decides.
    if (HasControl(IDC_FOREIGN_DEVICE)) m_foreignDevice = IsChecked(IDC_FOREIGN_DEVICE) ? 1 : 0;
    EnableControl(IDC_BBMD_ADDRESS, m_foreignDevice == 1);
}

void CDialogEdit::OnSave() {
    if (!UpdateData(true)) return;
    NumberFieldTexts texts{m_elaText, m_plaText, m_portText, m_deviceIdText};
    const CheckedNumbers checked = CheckNumberFields(texts);
    m_ela = checked.ela;
    m_pla = checked.pla;
    m_port = checked.port;
    // The factory-default text and a refused ID both show as -1 until the fields are shown again.
    m_deviceIdText =
        texts.deviceId == FACTORY_DEFAULT_TEXT || !checked.deviceIdOk ? FACTORY_DEFAULT_ID_TEXT : texts.deviceId;
    if (checked.AllOk()) {
        WriteConfiguration();
        TemplateDialog::OnOK();
        return;
    }
    m_elaText = std::to_string(m_ela);
    m_plaText = std::to_string(m_pla);
    m_portText = std::to_string(m_port);
    if (m_deviceIdText == FACTORY_DEFAULT_ID_TEXT) m_deviceIdText = std::string(FACTORY_DEFAULT_TEXT);
    UpdateData(false);
}

DeviceSettings CDialogEdit::SettingsForWrite() const {
    // The members hold a blank control as 0.0.0.0; only the control tells the two apart.
    const auto address = [this](int id) -> std::optional<Ipv4Host> {
        if (IsAddressBlank(id)) return std::nullopt;
        std::uint32_t value = 0;
        GetAddress(id, value);
        return Ipv4Host{value};
    };
    DeviceSettings settings = SettingsFromRecord(*m_record);  // which device, and where it answers now
    settings.dhcp = m_dhcp != 0;
    settings.address = address(IDC_ADDRESS);
    settings.subnetMask = address(IDC_SUBNET_MASK);
    settings.gateway = address(IDC_GATEWAY);
    settings.dns = address(IDC_DNS);
    settings.deviceId = DeviceIdFromText(m_deviceIdText);
    settings.name = m_name;
    settings.location = m_location;
    settings.description = m_description;
    settings.foreignDevice = m_foreignDevice != 0;
    settings.bbmdAddress = m_bbmdAddress;
    settings.pla = m_pla;
    settings.ela = m_ela;
    settings.port = static_cast<std::uint16_t>(m_port);
    settings.debug = m_debug != 0;
    return settings;
}

void CDialogEdit::WriteConfiguration() {
    DeviceSettings settings = SettingsForWrite();
    m_devices->Write(settings);
    m_name = settings.name;
    m_description = settings.description;
    m_location = settings.location;
    m_bbmdAddress = settings.bbmdAddress;
}

}  // namespace pelmora
