#!/usr/bin/env bash
# Fails when a tracked .h/.cpp file is not laid out as .clang-format says, or when clang-tidy (checks in
# .clang-tidy) finds anything in the product's sources (every folder but tests/, bench/ and fuzz/).
# The clang-tidy pass reads the compile_commands.json of a configured build tree: BUILD_DIR, or the first
# argument, default build/release. JOBS sets how many clang-tidy processes run at once (default: nproc).
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-${1:-build/release}}
jobs=${JOBS:-$(nproc)}
clang_format=clang-format-14
clang_tidy=clang-tidy-14
status=0

# The tracked sources; outside a git checkout, every .h/.cpp file but those in build trees.
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -- '*.h' '*.cpp'
  else
    find . -path './build*' -prune -o -path './.git' -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) \
      -printf '%P\0'
  fi
}

started=$SECONDS
echo "-- clang-format: $($clang_format --version | head -n 1)"
if ! sources | xargs -0 -r "$clang_format" --dry-run --Werror; then
  echo "FAIL: files above are not formatted; run: git ls-files -z '*.h' '*.cpp' | xargs -0 $clang_format -i" >&2
  status=1
fi

echo "-- clang-tidy over the product folders (compile commands from $build_dir, $jobs jobs)"
database="$build_dir/compile_commands.json"
if [ ! -f "$database" ]; then
  echo "FAIL: $database is missing; configure that build tree first (it exports compile commands)" >&2
  exit 1
fi
mapfile -t tidy_files < <(python3 - "$database" "$PWD" <<'EOF'
import json, os, sys
database, root = sys.argv[1], sys.argv[2]
PRODUCT = ("base", "platform", "protocol", "devices", "listing", "ui", "editing", "app", "helper", "tools")
seen = set()
for entry in json.load(open(database)):
    path = os.path.normpath(os.path.join(entry.get("directory", ""), entry["file"]))
    relative = os.path.relpath(path, root)
    if relative.split(os.sep)[0] in PRODUCT and path not in seen:
        seen.add(path)
        print(path)
EOF
)
if ((${#tidy_files[@]} == 0)); then
  echo "FAIL: $database names no file of the product folders" >&2
  exit 1
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
tidy_status=0
printf '%s\0' "${tidy_files[@]}" |
  xargs -0 -n 2 -P "$jobs" "$clang_tidy" -p "$build_dir" --quiet >"$log" 2>&1 || tidy_status=$?
# clang-tidy counts the warnings of system and Qt headers it was told to ignore; those lines say nothing.
grep -Ev '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
if ((tidy_status != 0)); then
  echo "FAIL: clang-tidy reported findings above (${#tidy_files[@]} files checked)" >&2
  status=1
else
  echo "-- clang-tidy: ${#tidy_files[@]} files, no findings"
fi
echo "-- style checks took $((SECONDS - started)) s"
exit "$status"
