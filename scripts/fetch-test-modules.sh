#!/usr/bin/env bash
# Fetches the tracker modules the audio tests and benchmarks play, made by no one here: an XM
# from Debian's njam-data package and a MOD from tecnoballz-data.
#   scripts/fetch-test-modules.sh DEST
# Leaves DEST/dali.xm and DEST/high-score.mod. Without access to Debian's mirror it leaves them
# empty, so the rest of the build goes on; the audio tests then fail and say why. Safe to run
# from several processes at once.
set -euo pipefail
dest=${1:?usage: fetch-test-modules.sh DEST}
mkdir -p "$dest"
exec 9>"$dest/.lock"
flock 9
[ -s "$dest/dali.xm" ] && [ -s "$dest/high-score.mod" ] && exit 0

work=$(mktemp -d "$dest/.fetch.XXXXXX")
trap 'rm -rf "$work"' EXIT
fetch() {
    (cd "$work" && apt-get download "$@" >/dev/null 2>&1) && return 0
    # A fresh machine may not have read the package lists yet.
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        (cd "$work" && apt-get download "$@" >/dev/null 2>&1) && return 0
    fi
    return 1
}
if fetch njam-data tecnoballz-data; then
    for deb in "$work"/*.deb; do dpkg-deb -x "$deb" "$work/x"; done
    cp "$work/x/usr/share/games/njam/data/dali.xm" "$dest/dali.xm.part"
    cp "$work/x/usr/share/games/tecnoballz/musics/high-score.mod" "$dest/high-score.mod.part"
    mv "$dest/dali.xm.part" "$dest/dali.xm"
    mv "$dest/high-score.mod.part" "$dest/high-score.mod"
else
    echo "warning: could not fetch njam-data and tecnoballz-data; the audio tests will fail" >&2
    : >"$dest/dali.xm"
    : >"$dest/high-score.mod"
fi
