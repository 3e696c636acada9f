#include "ui/qt/DialogResource.h"

#include "resources/InitResources.h"

#include <QtCore/QFile>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonDocument>
#include <QtCore/QJsonObject>

#include <utility>

namespace pelmora {

namespace {

struct Named {
    const char* name;
    unsigned value;
};

constexpr Named KINDS[] = {
    {"pushbutton", static_cast<unsigned>(ControlKind::PushButton)},
    {"defpushbutton", static_cast<unsigned>(ControlKind::DefaultPushButton)},
    {"checkbox", static_cast<unsigned>(ControlKind::CheckBox)},
    {"edit", static_cast<unsigned>(ControlKind::Edit)},
    {"readonlyedit", static_cast<unsigned>(ControlKind::ReadOnlyEdit)},
    {"label", static_cast<unsigned>(ControlKind::Label)},
    {"groupbox", static_cast<unsigned>(ControlKind::GroupBox)},
    {"listview", static_cast<unsigned>(ControlKind::ListView)},
    {"ipaddress", static_cast<unsigned>(ControlKind::IpAddress)},
    {"progress", static_cast<unsigned>(ControlKind::ProgressBar)},
    {"icon", static_cast<unsigned>(ControlKind::Icon)},
};

constexpr Named FLAGS[] = {
    {"tabstop", CF_TABSTOP},
    {"disabled", CF_DISABLED},
    {"border", CF_BORDER},
    {"autohscroll", CF_AUTOHSCROLL},
    {"noprefix", CF_NOPREFIX},
    {"group", CF_GROUP},
    {"smooth", CF_SMOOTH},
    {"report", CF_REPORT},
    {"singlesel", CF_SINGLESEL},
    {"showselalways", CF_SHOWSELALWAYS},
    {"nosortheader", CF_NOSORTHEADER},
    {"alignleft", CF_ALIGNLEFT},
};

template <std::size_t N>
std::optional<unsigned> Lookup(const Named (&table)[N], const QString& name) {
    for (const Named& entry : table) {
        if (name == QLatin1String(entry.name)) return entry.value;
    }
    return std::nullopt;
}

bool Fail(QString* error, const QString& why) {
    if (error != nullptr) *error = why;
    return false;
}

// An array of exactly `count` integers.
bool ReadInts(const QJsonValue& value, int count, int* out) {
    const QJsonArray array = value.toArray();
    if (!value.isArray() || array.size() != count) return false;
    for (int i = 0; i < count; ++i) {
        const QJsonValue item = array.at(i);
        if (!item.isDouble()) return false;
        const double number = item.toDouble();
        if (number != static_cast<double>(static_cast<int>(number))) return false;
        out[i] = static_cast<int>(number);
    }
    return true;
}

bool ReadControl(const QJsonObject& object, int index, ControlTemplate& control, QString* error) {
    const QString where = QStringLiteral("control %1: ").arg(index);
    if (!object.value(QLatin1String("id")).isDouble()) return Fail(error, where + QStringLiteral("no numeric id"));
    control.id = object.value(QLatin1String("id")).toInt();

    const auto kind = Lookup(KINDS, object.value(QLatin1String("kind")).toString());
    if (!kind) return Fail(error, where + QStringLiteral("unknown kind"));
    control.kind = static_cast<ControlKind>(*kind);

    control.caption = object.value(QLatin1String("caption")).toString();
    control.accessibleName = object.value(QLatin1String("accessibleName")).toString();

    int rect[4] = {};
    if (!ReadInts(object.value(QLatin1String("rect")), 4, rect) || rect[2] < 0 || rect[3] < 0) {
        return Fail(error, where + QStringLiteral("rect must be [x, y, width, height]"));
    }
    control.rect = QRect(rect[0], rect[1], rect[2], rect[3]);

    control.flags = 0;
    for (const QJsonValue flag : object.value(QLatin1String("flags")).toArray()) {
        const auto bit = Lookup(FLAGS, flag.toString());
        if (!bit) return Fail(error, where + QStringLiteral("unknown flag \"%1\"").arg(flag.toString()));
        control.flags |= *bit;
    }

    control.iconId = object.value(QLatin1String("icon")).toInt();
    if (control.kind == ControlKind::Icon && control.iconId == 0) {
        return Fail(error, where + QStringLiteral("icon control without icon"));
    }
    return true;
}

}  // namespace

const ControlTemplate* DialogResource::Find(int controlId) const {
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

std::optional<DialogResource> ParseDialogResource(const QByteArray& json, QString* error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        Fail(error, parseError.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        Fail(error, QStringLiteral("not an object"));
        return std::nullopt;
    }
    const QJsonObject root = document.object();

    DialogResource result;
    result.id = root.value(QLatin1String("id")).toInt();
    result.title = root.value(QLatin1String("title")).toString();
    int size[2] = {};
    if (!ReadInts(root.value(QLatin1String("size")), 2, size) || size[0] <= 0 || size[1] <= 0) {
        Fail(error, QStringLiteral("size must be [width, height]"));
        return std::nullopt;
    }
    result.size = QSize(size[0], size[1]);
    const QJsonObject font = root.value(QLatin1String("font")).toObject();
    result.fontName = font.value(QLatin1String("name")).toString();
    result.fontPointSize = font.value(QLatin1String("pointSize")).toInt();
    result.fixedSize = root.value(QLatin1String("fixedSize")).toBool(true);
    result.systemMenu = root.value(QLatin1String("systemMenu")).toBool(true);
    result.appWindow = root.value(QLatin1String("appWindow")).toBool(false);

    const QJsonArray controls = root.value(QLatin1String("controls")).toArray();
    result.controls.reserve(static_cast<std::size_t>(controls.size()));
    for (int i = 0; i < controls.size(); ++i) {
        ControlTemplate control;
        if (!ReadControl(controls.at(i).toObject(), i, control, error)) return std::nullopt;
        result.controls.push_back(std::move(control));
    }
    return result;
}

std::optional<DialogResource> LoadDialogResource(int id, QString* error) {
    InitResources();
    QFile file(QStringLiteral(":/dialogs/%1.json").arg(id));
    if (!file.open(QIODevice::ReadOnly)) {
        Fail(error, QStringLiteral("no dialog template %1").arg(id));
        return std::nullopt;
    }
    return ParseDialogResource(file.readAll(), error);
}

}  // namespace pelmora
