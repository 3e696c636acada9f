#pragma once
// A dialog template as data: what the builder needs to make a dialog's window and controls.
#include <QtCore/QByteArray>
#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QString>

#include <optional>
#include <vector>

namespace pelmora {

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    CheckBox,
    Edit,
    ReadOnlyEdit,
    Label,
    GroupBox,
    ListView,
    IpAddress,
    ProgressBar,
    Icon,
};

// Style bits of one control, named as in the template files.
enum ControlFlag : unsigned {
    CF_TABSTOP = 1u << 0,        // "tabstop"
    CF_DISABLED = 1u << 1,       // "disabled"
    CF_BORDER = 1u << 2,         // "border"
    CF_AUTOHSCROLL = 1u << 3,    // "autohscroll"
    CF_NOPREFIX = 1u << 4,       // "noprefix": '&' is shown, not taken as a mnemonic
    CF_GROUP = 1u << 5,          // "group"
    CF_SMOOTH = 1u << 6,         // "smooth" progress bar
    CF_REPORT = 1u << 7,         // list view "report"
    CF_SINGLESEL = 1u << 8,      // list view "singlesel"
    CF_SHOWSELALWAYS = 1u << 9,  // list view "showselalways"
    CF_NOSORTHEADER = 1u << 10,  // list view "nosortheader"
    CF_ALIGNLEFT = 1u << 11,     // list view "alignleft"
};

struct ControlTemplate {
    int id = -1;
    ControlKind kind = ControlKind::Label;
    QString caption;
    QRect rect;          // dialog units
    unsigned flags = 0;  // ControlFlag bits
    int iconId = 0;      // Icon controls: the icon resource shown
    // What a screen reader calls a control that has no caption and no label before it; never shown.
    QString accessibleName;

    bool Has(ControlFlag flag) const { return (flags & flag) != 0; }
};

struct DialogResource {
    int id = 0;
    QString title;
    QSize size;  // dialog units
    QString fontName;
    int fontPointSize = 0;
    bool fixedSize = true;
    bool systemMenu = true;
    bool appWindow = false;                 // a main window of its own (task bar entry) rather than a transient dialog
    std::vector<ControlTemplate> controls;  // tab order

    const ControlTemplate* Find(int controlId) const;
};

// Reads a template from JSON; on a malformed document returns nothing and says why in *error.
std::optional<DialogResource> ParseDialogResource(const QByteArray& json, QString* error = nullptr);

// Loads template `id` from the compiled-in resources (":/dialogs/<id>.json").
std::optional<DialogResource> LoadDialogResource(int id, QString* error = nullptr);

}  // namespace pelmora
