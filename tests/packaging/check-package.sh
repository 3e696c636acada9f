#!/usr/bin/env bash
# The package as Debian's tools see it: lintian (any E:, W: or I: fails, and so does an override
# without a reason), desktop-file-validate and appstreamcli on what it installs (any finding fails), and
# the metainfo naming the desktop entry and every screenshot that the README and docs/ show.
#   check-package.sh DEB SOURCE_DIR
set -uo pipefail
deb=$1 source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# Lintian says once that it runs as root; that line is no finding. It leaves cache files in TMPDIR.
if ! TMPDIR=$work lintian --fail-on error,warning,info --display-info --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1; then
  grep -v 'running with root privileges' "$work/lintian" >&2
  fail "lintian"
fi

dpkg-deb -x "$deb" "$work/root"
for program in /usr/bin/pelmora-config /usr/bin/pelmora-scan /usr/libexec/pelmora-config/pelmora-net-helper; do
  [ -x "$work/root$program" ] || fail "$program not in package"
done
overrides=$work/root/usr/share/lintian/overrides/pelmora-config
if [ -f "$overrides" ]; then
  awk '/^[^#[:space:]]/ && previous !~ /^#/ { print FILENAME ":" FNR ": " $0; bad = 1 } { previous = $0 }
       END { exit bad }' "$overrides" >&2 || fail "a lintian override above has no reason (a # line above it)"
fi

mapfile -t desktops < <(find "$work/root/usr/share/applications" -name '*.desktop' 2>/dev/null)
((${#desktops[@]} == 1)) || fail "expected one desktop entry, found ${#desktops[@]}"
for desktop in "${desktops[@]}"; do
  if ! findings=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$findings" ]; then
    fail "desktop-file-validate: $findings"
  fi
done

metainfo=$(find "$work/root/usr/share/metainfo" -name '*.metainfo.xml' 2>/dev/null)
[ -f "$metainfo" ] || { fail "no AppStream metainfo in the package"; exit 1; }
(cd "$work" && appstreamcli validate --no-net --strict "$metainfo") >&2 || fail "appstreamcli validate"
if ((${#desktops[@]} == 1)); then
  id=$(basename "${desktops[0]}" .desktop)
  grep -q "<id>$id</id>" "$metainfo" || fail "metainfo <id> is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
fi
# Every screenshot that the README and docs/ show from docs/screenshots/.
while IFS= read -r shot; do
  grep -q "/$(basename "$shot")</image>" "$metainfo" || fail "metainfo does not name the docs' $shot"
done < <(grep -oh '](\(docs/\)\?screenshots/[^)]*\.png' "$source_dir/README.md" "$source_dir"/docs/*.md | sort -u)

((failed == 0)) && echo "lintian, desktop-file-validate and appstreamcli: no findings"
exit "$failed"
