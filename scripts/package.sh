#!/usr/bin/env bash
# Builds the Debian package build/pelmora-config_<version>_<arch>.deb: a release build in build/package
# with Debian's compiler flags, installed under /usr into a staging root, binaries stripped, man pages
# and changelog compressed, Depends computed by dpkg-shlibdeps. Prints the package's path last.
# Safe to run again: the build is incremental and the staging root is made anew every time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

die() { echo "package.sh: $*" >&2; exit 1; }

bash scripts/install-deps.sh >&2

build=$root/build/package
mkdir -p "$build"
# Two runs at once (two test trees) would share the staging root.
exec 9>"$build/.lock"
flock 9

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
  -DPELMORA_TESTS=OFF -DPELMORA_BENCH=OFF -DPELMORA_GUI=ON >&2
cmake --build "$build" -j "$(nproc)" >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
homepage=$(sed -n 's/^PELMORA_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || die "no project version in $build/CMakeCache.txt"
changelog_version=$(sed -n '1s/^pelmora-config (\([^)]*\)).*/\1/p' packaging/changelog)
[ "$changelog_version" = "$version" ] ||
  die "packaging/changelog starts with version '$changelog_version', the project is $version"
arch=$(dpkg --print-architecture)

# dpkg-shlibdeps wants the binaries under debian/<package>/ of the folder it runs in.
deb_tree=$build/deb
stage=$deb_tree/debian/pelmora-config
rm -rf "$deb_tree"
DESTDIR=$stage cmake --install "$build" >&2

# Debian policy: stripped binaries, compressed man pages and changelog, root-owned files of fixed modes.
binaries=()
while IFS= read -r -d '' file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" != '177ELF' ] || binaries+=("${file#"$deb_tree"/}")
done < <(find "$stage" -type f -print0)
((${#binaries[@]})) || die "no binary in $stage"
(cd "$deb_tree" && strip --strip-unneeded --remove-section=.comment --remove-section=.note "${binaries[@]}")
find "$stage/usr/share/man" -type f -name '*.[1-9]' -exec gzip -9n {} +
doc=$stage/usr/share/doc/pelmora-config
install -d "$doc"
install -m 0644 packaging/copyright "$doc/copyright"
gzip -9nc packaging/changelog >"$doc/changelog.gz"
if [ -f packaging/lintian-overrides ]; then
  install -D -m 0644 packaging/lintian-overrides "$stage/usr/share/lintian/overrides/pelmora-config"
fi
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -perm /111 -exec chmod 0755 {} +
find "$stage" -type f ! -perm /111 -exec chmod 0644 {} +

# Depends: the shared libraries of every binary, libcap2-bin and adduser for the maintainer script.
# dpkg-shlibdeps finds the package root by its DEBIAN folder.
mkdir -p "$stage/DEBIAN"
printf 'Source: pelmora-config\n\nPackage: pelmora-config\nArchitecture: any\n' >"$deb_tree/debian/control"
shlibs=$(cd "$deb_tree" && dpkg-shlibdeps -O "${binaries[@]}" | sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || die "dpkg-shlibdeps found no shared-library dependency"
depends="$shlibs, libcap2-bin, adduser"

installed_size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
sed -e "s|@VERSION@|$version|" -e "s|@ARCH@|$arch|" -e "s|@DEPENDS@|$depends|" \
  -e "s|@INSTALLED_SIZE@|$installed_size|" -e "s|@HOMEPAGE@|$homepage|" packaging/control.in \
  >"$stage/DEBIAN/control"
install -m 0755 packaging/postinst "$stage/DEBIAN/postinst"
(cd "$stage" && find usr -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

deb=$root/build/pelmora-config_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb.part" >&2
mv -f "$deb.part" "$deb"
echo "$deb"
