#!/usr/bin/env bash
# The Debian package as a person gets it: made from this build, unpacked into a scratch root,
# its files and dependencies checked, its desktop entry and AppStream metainfo validated, and
# its launcher started from another folder with no library path set: the intro (cut short by a
# key), the menu with its tune, Escape, Escape, exit 0; then its export of the tunes from
# another folder. Run by with-display.sh.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

deb=$("$here/../../scripts/make-package.sh" "$build") || fail "the package was not made"
case $(basename "$deb") in
    tinselwave_*_*.deb) ;;
    *) fail "unexpected package name $deb" ;;
esac
root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb could not unpack $deb"

for f in usr/bin/tinselwave usr/lib/tinselwave/vrkdisk usr/lib/tinselwave/libvrkintro.so \
    usr/share/tinselwave/vrk.bin usr/bin/vrkpack usr/bin/scenedump \
    usr/share/applications/tinselwave.desktop usr/share/metainfo/tinselwave.metainfo.xml \
    usr/share/doc/tinselwave/README.md \
    usr/share/doc/tinselwave/copyright usr/share/man/man1/tinselwave.1.gz; do
    [ -e "$root/$f" ] || fail "the package lacks $f"
done
[ -e "$build/scenerender" ] && { [ -x "$root/usr/bin/scenerender" ] || fail "no scenerender"; }
for size in 16 24 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/tinselwave.png
    [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
        fail "no ${size}x${size} icon"
done
# What a desktop and a software centre read: valid as their tools check them, the entry
# starting the launcher with the files and folders it is given, offered for the module types
# (each one this machine's MIME database knows) and for folders; the metainfo's release is the
# package's version, its launchable and binaries are in the package.
entry=$root/usr/share/applications/tinselwave.desktop
metainfo=$root/usr/share/metainfo/tinselwave.metainfo.xml
desktop-file-validate "$entry" || fail "desktop-file-validate refuses the desktop entry"
appstreamcli validate --no-net "$metainfo" >"$work/validate.log" 2>&1 ||
    { cat "$work/validate.log" >&2; fail "appstreamcli refuses the metainfo"; }
grep -q '^Exec=tinselwave %F$' "$entry" || fail "the desktop entry does not start the launcher"
types=$(sed -n 's/^MimeType=//p' "$entry" | tr ';' ' ')
for t in audio/x-mod audio/x-xm audio/x-s3m audio/x-it inode/directory; do
    echo " $types " | grep -q " $t " || fail "the desktop entry lacks $t: $types"
done
for t in $types; do
    [ "$t" = inode/directory ] && continue
    grep -q "type=\"$t\"" /usr/share/mime/packages/freedesktop.org.xml ||
        fail "no MIME type $t in shared-mime-info"
    grep -q "<mediatype>$t</mediatype>" "$metainfo" || fail "the metainfo does not provide $t"
done
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\" date=\"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]\"" "$metainfo" ||
    fail "the metainfo's release is not $version: $(grep '<release ' "$metainfo")"
grep -q '<launchable type="desktop-id">tinselwave.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch the desktop entry"
for b in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
    [ -x "$root/usr/bin/$b" ] || fail "the metainfo provides $b, which the package lacks"
done
# The program finds its intro library beside itself, not in the build folder.
runpath=$(readelf -d "$root/usr/lib/tinselwave/vrkdisk" | sed -n 's/.*runpath: \[\(.*\)\]/\1/p')
[ "$runpath" = '$ORIGIN' ] || fail "vrkdisk's library path is '$runpath'"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libsdl2-2.0-0 libopenmpt0 liblzo2-2 libflac12 libebur128-1; do
    echo "$depends" | grep -q "\b$p\b" || fail "Depends lacks $p: $depends"
done

# Started from elsewhere, as a desktop menu would, with nothing pointing at the build.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
unset LD_LIBRARY_PATH
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
"$root/usr/bin/tinselwave" >"$work/out.log" 2>&1 &
pid=$!
skip_intro
LEVEL=5 wait_for 90 bright 15 70 390 220
audible() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.01; }
wait_for 60 audible
focus_player
xdotool key Escape
LEVEL=2 wait_for 60 dark 0 0 640 400
LEVEL=2 wait_for 60 bright 0 0 640 400
focus_player
xdotool key Escape
expect_exit_0
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the disk wrote into its working folder"
# The launcher's export: a folder named from where the user is, the cover from the data file
# it finds beside itself.
mkdir "$work/exporting" && cd "$work/exporting"
"$root/usr/bin/tinselwave" --export music >"$work/out.log" 2>&1 || fail "the launcher's export"
[ "$(ls music/*.flac | wc -l)" -eq 31 ] || fail "the launcher exported $(ls music | wc -l) files"
metaflac --list --block-type=PICTURE "music/01 - jingle bells.flac" | grep -q 'Cover (front)' ||
    fail "the launcher's export has no cover"
"$root/usr/bin/tinselwave" --version | grep -q '^tinselwave ' || fail "tinselwave --version"
"$root/usr/bin/tinselwave" --help | grep -q -- '--export DIR' || fail "tinselwave --help"
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KB; Depends: $depends"
echo "the unpacked launcher ran the disk from another folder and exited 0"
