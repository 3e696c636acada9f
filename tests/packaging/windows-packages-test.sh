#!/usr/bin/env bash
# The Windows downloads under Wine, in a prefix of the test's own: the zip holds the two programs and the
# read-me under one folder, and its scanner runs from wherever the zip is unpacked; the installer
# installs silently, and the uninstaller its registry entry names removes every trace, silently too. A
# silent install into the Windows folder or into another product's folder is refused: it fails and
# changes nothing. Outside Program Files the installer limits who may write to the folder with icacls
# (Wine's icacls does nothing, so only the command it runs is seen here).
#   windows-packages-test.sh ZIP SETUP.EXE SHARED_WINE_PREFIX WORK_DIR
set -uo pipefail
zip=$1 setup=$2 shared_prefix=$3 work=$4
name=$(basename "$zip" -win64.zip)
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\PelmoraConfigurationTool'

export WINEPREFIX=$work/prefix WINEDEBUG=-all DISPLAY=
# winemenubuilder would turn the Start-menu shortcut into a menu entry of this machine's desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unpacked=$(mktemp -d) || exit 1
# Waits for every process of the prefix: an uninstaller started with /S hands over to a copy of
# itself and returns before anything is removed.
settle() { timeout 120 wineserver -w; }
trap 'wineserver -k 2>/dev/null; settle; rm -rf "$unpacked" "$WINEPREFIX"' EXIT

failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

rm -rf "$work" && mkdir -p "$work" || exit 1
if [ -f "$shared_prefix/system.reg" ]; then
  # Linked, not copied, but the registry files Wine rewrites are the copy's own.
  cp -al "$shared_prefix" "$WINEPREFIX" && cp --remove-destination "$shared_prefix"/*.reg "$WINEPREFIX"/ || exit 1
else
  wineboot -i >/dev/null 2>&1 || exit 1
fi

# The zip.
expected=$(printf '%s\n' "$name/" "$name/README.txt" "$name/pelmora-config.exe" "$name/pelmora-scan.exe")
listed=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
[ "$listed" = "$expected" ] || fail "zip holds:"$'\n'"$listed"
python3 -m zipfile -e "$zip" "$unpacked" || exit 1
! grep -qv $'\r$' "$unpacked/$name/README.txt" || fail "README.txt has a line without CRLF"
usage=$(cd "$unpacked" && wine "$name/pelmora-scan.exe" --help 2>&1)
[[ $usage == "usage: pelmora-scan "* ]] || fail "pelmora-scan.exe from the unpacked zip: $usage"

# Refused folders. Names, sizes and times of everything in them, before and after.
state() { (cd "$1" && find . -printf '%p %s %T@\n' | sort); }
other="$WINEPREFIX/drive_c/OtherProduct"
mkdir -p "$other" && echo "Another product's read-me" >"$other/README.txt" && echo "MZ its uninstaller" >"$other/Uninstall.exe"
for folder in 'C:\Windows' 'C:\OtherProduct'; do
  unix=$WINEPREFIX/drive_c/${folder#C:\\}
  [ "$folder" = 'C:\Windows' ] && unix=$WINEPREFIX/drive_c/windows
  before=$(state "$unix")
  wine "$setup" /S "/D=$folder" && fail "installed into $folder"
  settle
  [ "$(state "$unix")" = "$before" ] || fail "refused install changed $folder:"$'\n'"$(diff <(echo "$before") <(state "$unix"))"
  wine reg query "$key" /reg:64 >/dev/null 2>&1 && fail "refused install into $folder wrote the uninstall entry"
done
[ "$(cat "$other/README.txt")" = "Another product's read-me" ] || fail "the other product's README.txt replaced"

# Outside Program Files: the folder's permissions set before anything goes in.
icacls=$(WINEDEBUG=+process wine "$setup" /S '/D=C:\PelmoraTool' 2>&1 | grep -i 'CreateProcessInternalW.*icacls')
settle
grep -qF '\"C:\\PelmoraTool\" /inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX' \
  <<<"$icacls" || fail "no icacls run that limits C:\PelmoraTool to Administrators and SYSTEM: $icacls"
[ -f "$WINEPREFIX/drive_c/PelmoraTool/pelmora-scan.exe" ] || fail "not installed into C:\PelmoraTool"
wine 'C:\PelmoraTool\Uninstall.exe' /S
settle

# The silent install.
dir="$WINEPREFIX/drive_c/Program Files/Pelmora Configuration Tool"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pelmora Configuration Tool.lnk"
installed=$(WINEDEBUG=+process wine "$setup" /S 2>&1) || fail "installer: exit status $?"
settle
grep -qi 'CreateProcessInternalW.*icacls' <<<"$installed" && fail "icacls run on a folder in Program Files"
for file in pelmora-config.exe pelmora-scan.exe README.txt; do
  cmp -s "$dir/$file" "$unpacked/$name/$file" || fail "installed $file differs from the zip's or is missing"
done
[ -f "$dir/Uninstall.exe" ] || fail "no Uninstall.exe"
[ -f "$shortcut" ] || fail "no Start-menu shortcut for all users"
entry=$(wine reg query "$key" /reg:64 2>&1 | tr -d '\r') || fail "no uninstall entry: $entry"
value() { sed -n "s/^ *$1 *REG_[A-Z]* *//p" <<<"$entry"; }
for wanted in DisplayName DisplayVersion Publisher DisplayIcon NoModify NoRepair; do
  [ -n "$(value "$wanted")" ] || fail "uninstall entry without $wanted"
done
[ "$(value InstallLocation)" = 'C:\Program Files\Pelmora Configuration Tool' ] || fail "InstallLocation: $(value InstallLocation)"
[ "$(value UninstallString)" = '"C:\Program Files\Pelmora Configuration Tool\Uninstall.exe"' ] ||
  fail "UninstallString: $(value UninstallString)"
(($(value EstimatedSize) > 0)) 2>/dev/null || fail "EstimatedSize: $(value EstimatedSize)"

# The silent uninstall, as Windows runs it from the registry entry.
quiet=$(value QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ /S$ ]] || fail "QuietUninstallString: $quiet"
wine "${BASH_REMATCH[1]:-missing}" /S || fail "uninstaller: exit status $?"
settle
[ ! -e "$dir" ] || fail "left behind: $(ls -A "$dir")"
[ ! -e "$shortcut" ] || fail "Start-menu shortcut left behind"
wine reg query "$key" /reg:64 >/dev/null 2>&1 && fail "uninstall entry left behind"
exit "$failed"
