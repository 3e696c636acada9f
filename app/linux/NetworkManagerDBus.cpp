#include "app/linux/NetworkManagerDBus.h"

#include <net/if.h>
#include <pwd.h>

#include <QtDBus/QDBusArgument>
#include <QtDBus/QDBusConnectionInterface>
#include <QtDBus/QDBusMessage>
#include <QtDBus/QDBusMetaType>
#include <QtDBus/QDBusObjectPath>
#include <QtDBus/QDBusReply>
#include <QtDBus/QDBusVariant>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "platform/RandomTemporaryAddress.h"

namespace pelmora {

namespace {

using ConnectionSettings = QMap<QString, QVariantMap>;

const QString SERVICE = QStringLiteral("org.freedesktop.NetworkManager");
const QString MANAGER_PATH = QStringLiteral("/org/freedesktop/NetworkManager");
const QString MANAGER = QStringLiteral("org.freedesktop.NetworkManager");
const QString DEVICE = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString ACTIVE = QStringLiteral("org.freedesktop.NetworkManager.Connection.Active");
const QString PROPERTIES = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr int CALL_TIMEOUT_MS = 5000;
constexpr std::chrono::milliseconds ACTIVATION_TIMEOUT{5000};
constexpr std::chrono::milliseconds RELEASE_TIMEOUT{2000};
constexpr std::chrono::milliseconds STATE_POLL{50};
// NMActiveConnectionState
constexpr unsigned ACTIVATED = 2;
constexpr unsigned DEACTIVATING = 3;

QDBusMessage Call(const QDBusConnection& bus, const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall(SERVICE, path, interface, method);
    call.setArguments(arguments);
    return bus.call(call, QDBus::Block, CALL_TIMEOUT_MS);
}

bool IsReply(const QDBusMessage& message) {
    return message.type() == QDBusMessage::ReplyMessage && !message.arguments().isEmpty();
}

std::optional<QVariant> Property(const QDBusConnection& bus, const QString& path, const QString& interface,
                                 const QString& name) {
    const QDBusMessage reply = Call(bus, path, PROPERTIES, QStringLiteral("Get"), {interface, name});
    if (!IsReply(reply)) return std::nullopt;
    return qvariant_cast<QDBusVariant>(reply.arguments().at(0)).variant();
}

// The user NetworkManager checks the profile's permissions against: the one the bus knows this connection by.
std::optional<QString> UserName(const QDBusConnection& bus) {
    const QDBusReply<uint> uid = bus.interface()->serviceUid(bus.baseService());
    if (!uid.isValid()) return std::nullopt;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid.value(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::nullopt;
    return QString::fromLocal8Bit(found->pw_name);
}

ConnectionSettings TemporaryProfile(Ipv4Net address, const QString& user) {
    const QVariantMap addressData{{QStringLiteral("address"), QString::fromStdString(ToText(address))},
                                  {QStringLiteral("prefix"), static_cast<uint>(TEMPORARY_PREFIX)}};
    ConnectionSettings profile;
    profile[QStringLiteral("connection")] = QVariantMap{
        {QStringLiteral("id"), QStringLiteral("Pelmora temporary address")},
        {QStringLiteral("type"), QStringLiteral("802-3-ethernet")},
        {QStringLiteral("autoconnect"), false},
        // NetworkManager's default policy lets the user of an active session activate a profile of their own.
        {QStringLiteral("permissions"), QStringList{QStringLiteral("user:") + user + QStringLiteral(":")}},
    };
    profile[QStringLiteral("ipv4")] = QVariantMap{
        {QStringLiteral("method"), QStringLiteral("manual")},
        {QStringLiteral("address-data"), QVariant::fromValue(QList<QVariantMap>{addressData})},
        {QStringLiteral("never-default"), true},
    };
    profile[QStringLiteral("ipv6")] = QVariantMap{{QStringLiteral("method"), QStringLiteral("ignore")}};
    return profile;
}

}  // namespace

NetworkManagerDBus::NetworkManagerDBus() : NetworkManagerDBus(QDBusConnection::systemBus()) {}

NetworkManagerDBus::NetworkManagerDBus(QDBusConnection bus) : m_bus(std::move(bus)) {
    qDBusRegisterMetaType<ConnectionSettings>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
}

NetworkManagerDBus::~NetworkManagerDBus() { Release(); }

bool NetworkManagerDBus::Running() {
    if (!m_bus.isConnected() || m_bus.interface() == nullptr) return false;
    const QDBusReply<bool> registered = m_bus.interface()->isServiceRegistered(SERVICE);
    return registered.isValid() && registered.value();
}

QString NetworkManagerDBus::DevicePath(int ifIndex) {
    // NetworkManager 1.42 names its devices by interface name only.
    char name[IF_NAMESIZE] = {};
    if (if_indextoname(static_cast<unsigned>(ifIndex), name) == nullptr) return {};
    const QDBusMessage reply = Call(m_bus, MANAGER_PATH, MANAGER, QStringLiteral("GetDevices"), {});
    if (!IsReply(reply)) return {};
    for (const QDBusObjectPath& device : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(0))) {
        const auto interface = Property(m_bus, device.path(), DEVICE, QStringLiteral("Interface"));
        if (interface && interface->toString() == QString::fromLocal8Bit(name)) return device.path();
    }
    return {};
}

bool NetworkManagerDBus::ManagesAdapter(int ifIndex) {
    const QString device = DevicePath(ifIndex);
    if (device.isEmpty()) return false;
    const auto managed = Property(m_bus, device, DEVICE, QStringLiteral("Managed"));
    return managed && managed->toBool();
}

std::optional<std::string> NetworkManagerDBus::Activate(int ifIndex, Ipv4Net address) {
    Release();
    const QString device = DevicePath(ifIndex);
    if (device.isEmpty()) return "the adapter is not one of its devices";
    const auto user = UserName(m_bus);
    if (!user) return "the bus names no user for this process";
    const QVariantMap options{{QStringLiteral("persist"), QStringLiteral("volatile")},
                              {QStringLiteral("bind-activation"), QStringLiteral("dbus-client")}};
    const QDBusMessage reply =
        Call(m_bus, MANAGER_PATH, MANAGER, QStringLiteral("AddAndActivateConnection2"),
             {QVariant::fromValue(TemporaryProfile(address, *user)), QVariant::fromValue(QDBusObjectPath(device)),
              QVariant::fromValue(QDBusObjectPath(QStringLiteral("/"))), options});
    if (reply.type() != QDBusMessage::ReplyMessage) return reply.errorMessage().toStdString();
    if (reply.arguments().size() < 2) return "no active connection in the reply";
    m_active = qvariant_cast<QDBusObjectPath>(reply.arguments().at(1)).path();

    const auto deadline = std::chrono::steady_clock::now() + ACTIVATION_TIMEOUT;
    for (;;) {
        const auto state = Property(m_bus, m_active, ACTIVE, QStringLiteral("State"));
        if (state && state->toUInt() == ACTIVATED) return std::nullopt;
        if (!state || state->toUInt() >= DEACTIVATING || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(STATE_POLL);
    }
    Release();
    return "the profile did not become active";
}

void NetworkManagerDBus::Release() {
    if (m_active.isEmpty()) return;
    Call(m_bus, MANAGER_PATH, MANAGER, QStringLiteral("DeactivateConnection"),
         {QVariant::fromValue(QDBusObjectPath(m_active))});
    // The address goes with the deactivation, which NetworkManager finishes after its reply.
    const auto deadline = std::chrono::steady_clock::now() + RELEASE_TIMEOUT;
    for (;;) {
        const auto state = Property(m_bus, m_active, ACTIVE, QStringLiteral("State"));
        if (!state || state->toUInt() > DEACTIVATING || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(STATE_POLL);
    }
    m_active.clear();
}

}  // namespace pelmora
