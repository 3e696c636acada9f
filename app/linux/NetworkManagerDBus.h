#pragma once
// NetworkManager over the system bus (Qt D-Bus). The profile is bound to this process's bus
// connection, so NetworkManager takes it and its address away however the process ends.
#include <QtCore/QString>
#include <QtDBus/QDBusConnection>

#include "app/linux/NetworkManagerAccess.h"

namespace pelmora {

class NetworkManagerDBus final : public NetworkManagerAccess {
public:
    // On the system bus, or on the connection given.
    NetworkManagerDBus();
    explicit NetworkManagerDBus(QDBusConnection bus);
    ~NetworkManagerDBus() override;
    NetworkManagerDBus(const NetworkManagerDBus&) = delete;
    NetworkManagerDBus& operator=(const NetworkManagerDBus&) = delete;
    NetworkManagerDBus(NetworkManagerDBus&&) = delete;
    NetworkManagerDBus& operator=(NetworkManagerDBus&&) = delete;

    bool Running() override;
    bool ManagesAdapter(int ifIndex) override;
    std::optional<std::string> Activate(int ifIndex, Ipv4Net address) override;
    void Release() override;

private:
    // NetworkManager's device object of the link; empty when it has none.
    QString DevicePath(int ifIndex);

    QDBusConnection m_bus;
    QString m_active;  // the active connection Activate made, until Release
};

}  // namespace pelmora
