#!/usr/bin/env bash
# Makes a folder of tracker modules made by no one here, from Debian's game-data packages, as a
# person's own collection might look: subfolders, several formats, other files among them.
#   scripts/fetch-module-folder.sh DEST
# Leaves DEST/modules/ with XM and S3M (njam-data), S3M and STM (pachi-data), IT (gltron), MOD
# (tecnoballz-data) and XM in a folder with a non-ASCII name (heroes-sound-tracks), plus the
# pictures and sounds that lie beside them in njam-data. Exits 1 when the packages cannot be
# fetched. Safe to run from several processes at once; does nothing when DEST is complete.
set -euo pipefail
dest=${1:?usage: fetch-module-folder.sh DEST}
mkdir -p "$dest"
exec 9>"$dest/.lock"
flock 9
[ -e "$dest/modules/.complete" ] && exit 0

work=$(mktemp -d "$dest/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
packages=(njam-data pachi-data gltron tecnoballz-data heroes-sound-tracks)
fetch() {
    (cd "$work" && apt-get download "${packages[@]}" >/dev/null 2>&1) && return 0
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        (cd "$work" && apt-get download "${packages[@]}" >/dev/null 2>&1) && return 0
    fi
    return 1
}
fetch || { echo "could not fetch ${packages[*]} from Debian's mirror" >&2; exit 1; }
for deb in "$work"/*.deb; do dpkg-deb -x "$deb" "$work/x"; done
x=$work/x/usr/share
m=$work/modules
mkdir -p "$m/njam" "$m/pachi/stages" "$m/gltron" "$m/tecnoballz" "$m/héroes"
cp "$x"/games/njam/data/{dali.xm,ritam.s3m,satisfy.xm,mainmenu.jpg,kill.wav} "$m/njam/"
cp "$x"/pachi/music/menu.s3m "$m/pachi/"
cp "$x"/pachi/music/{stage1.s3m,stage2.stm} "$m/pachi/stages/"
cp "$x"/games/gltron/music/song_revenge_of_cats.it "$m/gltron/"
cp "$x"/games/tecnoballz/musics/{high-score.mod,tecnoballz.mod,over-theme.mod} "$m/tecnoballz/"
cp "$x"/games/heroes/mod/{heroes01.xm,heroes02.xm} "$m/héroes/"
touch "$m/.complete"
rm -rf "$dest/modules"
mv "$m" "$dest/modules"
