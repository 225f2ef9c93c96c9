#!/usr/bin/env bash
# Makes the Debian package of a build: scripts/make-package.sh BUILD
# Writes BUILD/tinselwave_VERSION_ARCH.deb from an installation of the build under /usr, with
# the launcher, the desktop entry and its icons, the AppStream metainfo, the manual pages, the
# README and the licence.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
version=$(sed -n 's/^project(Tinselwave VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
arch=$(dpkg --print-architecture)
stage=$build/package/root
rm -rf "$build/package"
mkdir -p "$stage/DEBIAN"

# Programs, library, data file and tools, stripped, with the program's library path rewritten
# to its own folder.
cmake --install "$build" --prefix "$stage/usr" --strip >/dev/null
strip --remove-section=.comment --remove-section=.note "$stage"/usr/lib/tinselwave/* \
    $(find "$stage/usr/bin" -type f ! -name tinselwave)
chmod 644 "$stage/usr/lib/tinselwave/libvrkintro.so"

# The desktop entry, the software centre's account of the package (its release: the version
# and the date of the changelog's latest entry) and the icon in every size the art generator
# painted.
install -D -m 644 "$src/packaging/tinselwave.desktop" \
    "$stage/usr/share/applications/tinselwave.desktop"
released=$(sed -n 's/^ -- .*>  //p' "$src/packaging/changelog" | head -1)
released=$(date -u -d "$released" +%F) || { echo "make-package: no date in the changelog" >&2; exit 1; }
mkdir -p "$stage/usr/share/metainfo"
sed "s/@VERSION@/$version/; s/@DATE@/$released/" "$src/packaging/tinselwave.metainfo.xml" \
    >"$stage/usr/share/metainfo/tinselwave.metainfo.xml"
chmod 644 "$stage/usr/share/metainfo/tinselwave.metainfo.xml"
for icon in "$build"/content/art/icon-*.argb; do
    size=$(basename "$icon" .argb)
    size=${size#icon-}
    dir=$stage/usr/share/icons/hicolor/${size}x${size}/apps
    mkdir -p "$dir"
    convert -size "${size}x${size}" -depth 8 "bgra:$icon" -strip "png:$dir/tinselwave.png"
done

# Manual pages, documents and the licence, as Debian wants them.
mkdir -p "$stage/usr/share/man/man1"
for tool in tinselwave vrkpack scenedump scenerender; do
    [ -e "$stage/usr/bin/$tool" ] &&
        gzip -9n <"$src/packaging/$tool.1" >"$stage/usr/share/man/man1/$tool.1.gz"
done
doc=$stage/usr/share/doc/tinselwave
mkdir -p "$doc"
install -m 644 "$src/README.md" "$src/LICENSE" "$doc/"
install -m 644 "$src/packaging/copyright" "$doc/copyright"
sed "s/@VERSION@/$version/" "$src/packaging/changelog" | gzip -9n >"$doc/changelog.gz"
find "$stage/usr" -type d -exec chmod 755 {} +

# Dependencies: the packages of the shared libraries the binaries link.
work=$build/package/shlibs
mkdir -p "$work/debian"
printf 'Source: tinselwave\n\nPackage: tinselwave\nArchitecture: any\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O --ignore-missing-info \
    -l"$stage/usr/lib/tinselwave" \
    "$stage/usr/lib/tinselwave/vrkdisk" "$stage/usr/lib/tinselwave/libvrkintro.so" \
    $(find "$stage/usr/bin" -type f ! -name tinselwave) 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make-package: no dependencies found" >&2; exit 1; }

cat >"$stage/DEBIAN/control" <<CONTROL
Package: tinselwave
Version: $version
Architecture: $arch
Maintainer: the tinsel crew <tinselwave@users.noreply.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $depends
Section: sound
Priority: optional
Homepage: https://tinselwave.invalid/
Description: seasonal music disk with a software-rendered 3D intro
 Tinselwave plays a real-time 3D intro in time with its own tune, then shows
 a menu of tracker tunes with a scroll-text band, a stereo level meter and an
 aurora panel with twinkling stars, and two end pictures with their own tune.
 Everything is drawn in software and shown full screen, scaled with its
 aspect kept.
 .
 The package also holds the tools for making a disk of your own: vrkpack for
 the data file, scenedump and scenerender for 3DS scenes.
CONTROL
(cd "$stage" && find usr -type f -exec md5sum {} + | sort -k2 >DEBIAN/md5sums)
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

out=$build/tinselwave_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$out" >/dev/null
echo "$out"
