#!/usr/bin/env python3
"""Writes the Windows resource script from the dialog templates the Qt builder reads, the string table,
the icon, the manifest and the version; with --control-table, a C++ table of every template's controls
for the Win32 back end's tests."""
import argparse
import json
import pathlib
import sys

# Kind in the template files -> window class and the styles that kind always has.
KINDS = {
    "pushbutton": ("Button", ["BS_PUSHBUTTON"]),
    "defpushbutton": ("Button", ["BS_DEFPUSHBUTTON"]),
    "checkbox": ("Button", ["BS_AUTOCHECKBOX"]),
    "groupbox": ("Button", ["BS_GROUPBOX"]),
    "edit": ("Edit", ["ES_LEFT"]),
    "readonlyedit": ("Edit", ["ES_LEFT", "ES_READONLY"]),
    "label": ("Static", ["SS_LEFT"]),
    "icon": ("Static", ["SS_ICON"]),
    "listview": ("SysListView32", []),
    "ipaddress": ("SysIPAddress32", []),
    "progress": ("msctls_progress32", []),
}

FLAGS = {
    "tabstop": "WS_TABSTOP",
    "disabled": "WS_DISABLED",
    "border": "WS_BORDER",
    "autohscroll": "ES_AUTOHSCROLL",
    "noprefix": "SS_NOPREFIX",
    "group": "WS_GROUP",
    "smooth": "PBS_SMOOTH",
    "report": "LVS_REPORT",
    "singlesel": "LVS_SINGLESEL",
    "showselalways": "LVS_SHOWSELALWAYS",
    "nosortheader": "LVS_NOSORTHEADER",
    "alignleft": "LVS_ALIGNLEFT",
}

# "MS Shell Dlg" maps to the system's dialog font, so every dialog scales with the monitor's DPI; the
# bitmap "MS Sans Serif" some templates name would not.
FONT = '8, "MS Shell Dlg", 400, 0, 1'


class TemplateError(Exception):
    pass


def quoted(text):
    # A resource script's strings take C escapes and a doubled quote.
    return '"' + text.replace("\\", "\\\\").replace('"', '""') + '"'


def load(path):
    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f)
    except (OSError, ValueError) as e:
        raise TemplateError(f"{path}: {e}") from e


def rect_of(control, where):
    rect = control.get("rect")
    if not (isinstance(rect, list) and len(rect) == 4 and all(isinstance(v, int) for v in rect)):
        raise TemplateError(f"{where}: rect must be [x, y, width, height]")
    if rect[2] < 0 or rect[3] < 0:
        raise TemplateError(f"{where}: negative size")
    return rect


def control_line(control, where):
    kind = control.get("kind")
    if kind not in KINDS:
        raise TemplateError(f"{where}: unknown kind {kind!r}")
    control_id = control.get("id")
    if not isinstance(control_id, int):
        raise TemplateError(f"{where}: no numeric id")
    window_class, styles = KINDS[kind]
    styles = ["WS_CHILD", "WS_VISIBLE"] + styles
    for flag in control.get("flags", []):
        if flag not in FLAGS:
            raise TemplateError(f"{where}: unknown flag {flag!r}")
        styles.append(FLAGS[flag])
    x, y, cx, cy = rect_of(control, where)
    if kind == "icon":
        icon = control.get("icon")
        if not isinstance(icon, int) or icon == 0:
            raise TemplateError(f"{where}: icon control without icon")
        text = str(icon)
    else:
        text = quoted(control.get("caption", ""))
    return (f'    CONTROL {text}, {control_id}, {quoted(window_class)}, {" | ".join(styles)}, '
            f"{x}, {y}, {cx}, {cy}")


def dialog_block(template, where):
    size = template.get("size")
    if not (isinstance(size, list) and len(size) == 2 and all(isinstance(v, int) and v > 0 for v in size)):
        raise TemplateError(f"{where}: size must be [width, height]")
    styles = ["DS_SHELLFONT", "DS_MODALFRAME", "WS_POPUP", "WS_CAPTION"]
    if template.get("systemMenu", True):
        styles.append("WS_SYSMENU")
    if not template.get("fixedSize", True):
        styles.append("WS_THICKFRAME")
    lines = [f"{template['id']} DIALOGEX 0, 0, {size[0]}, {size[1]}",
             f"STYLE {' | '.join(styles)}"]
    if template.get("appWindow", False):
        lines.append("EXSTYLE WS_EX_APPWINDOW")
    lines += [f"CAPTION {quoted(template.get('title', ''))}", f"FONT {FONT}", "BEGIN"]
    for index, control in enumerate(template.get("controls", [])):
        lines.append(control_line(control, f"{where}: control {index}"))
    lines.append("END")
    return "\n".join(lines)


def version_block(version, product):
    parts = (version.split(".") + ["0"] * 4)[:4]
    numbers = ", ".join(parts)
    return f"""VS_VERSION_INFO VERSIONINFO
FILEVERSION {numbers}
PRODUCTVERSION {numbers}
FILEFLAGSMASK VS_FFI_FILEFLAGSMASK
FILEFLAGS 0
FILEOS VOS_NT_WINDOWS32
FILETYPE VFT_APP
FILESUBTYPE VFT2_UNKNOWN
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        BLOCK "040904B0"
        BEGIN
            VALUE "CompanyName", "Pelmora"
            VALUE "FileDescription", {quoted(product)}
            VALUE "FileVersion", {quoted(version)}
            VALUE "ProductName", {quoted(product)}
            VALUE "ProductVersion", {quoted(version)}
        END
    END
    BLOCK "VarFileInfo"
    BEGIN
        VALUE "Translation", 0x409, 1200
    END
END"""


def resource_script(templates, strings, icon, manifest, version, product):
    out = ["// Generated by resources/windows/make_resource_script.py; edit the templates, not this file.",
           "#pragma code_page(65001)",
           "#include <windows.h>",
           "#include <commctrl.h>",
           "",
           f"1 RT_MANIFEST {quoted(manifest)}",
           f"128 ICON {quoted(icon)}",
           ""]
    for where, template in templates:
        out += [dialog_block(template, where), ""]
    out += ["STRINGTABLE", "BEGIN"]
    for key in sorted(strings, key=int):
        out.append(f"    {int(key)}, {quoted(strings[key])}")
    out += ["END", "", version_block(version, product), ""]
    return "\n".join(out)


def control_table(templates):
    out = ["// Generated by resources/windows/make_resource_script.py from resources/dialogs/*.json.",
           "#pragma once",
           "",
           "namespace pelmora::test {",
           "",
           "struct TemplateControl {",
           "    int templateId;",
           "    int id;",
           '    const char* kind;  // as in the template file: "edit", "listview", ...',
           "};",
           "",
           "inline constexpr TemplateControl TEMPLATE_CONTROLS[] = {"]
    for _, template in templates:
        for control in template.get("controls", []):
            out.append(f'    {{{template["id"]}, {control["id"]}, "{control["kind"]}"}},')
    out += ["};", "", "}  // namespace pelmora::test", ""]
    return "\n".join(out)


def write_if_changed(path, text):
    path = pathlib.Path(path)
    if path.exists() and path.read_text(encoding="utf-8") == text:
        return
    path.write_text(text, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--strings", required=True)
    parser.add_argument("--icon", required=True, help="the .ico file the script names")
    parser.add_argument("--manifest", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--product", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--control-table", help="also write the controls as a C++ table here")
    parser.add_argument("templates", nargs="+")
    args = parser.parse_args()
    try:
        templates = []
        for path in args.templates:
            template = load(path)
            if not isinstance(template.get("id"), int):
                raise TemplateError(f"{path}: no numeric id")
            templates.append((path, template))
        templates.sort(key=lambda entry: entry[1]["id"])
        strings = load(args.strings)
        text = resource_script(templates, strings, args.icon, args.manifest, args.version, args.product)
    except TemplateError as e:
        print(f"make_resource_script: {e}", file=sys.stderr)
        return 1
    write_if_changed(args.output, text)
    if args.control_table:
        write_if_changed(args.control_table, control_table(templates))
    return 0


if __name__ == "__main__":
    sys.exit(main())
