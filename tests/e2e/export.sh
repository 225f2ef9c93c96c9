#!/usr/bin/env bash
# tinselwave --export as a person runs it, without a display: the built-in disk, then a folder
# of modules made by others, each exported by the real program. Every file passes flac's own
# test; the tags are read back with metaflac; the lengths agree with the listed times (and
# with openmpt123's for the folder); the first tune holds the very samples the player sends to
# its sound card; the modules are the bytes the program, the intro library or the folder has.
# Then each bad input: folders that cannot be made or written, files there already, a full
# and a read-only disk (small memory file systems, as root), a module that does not load, an
# interrupted export.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
build=$(cd "$1" && pwd) || exit 1
source=$(cd "$here/../.." && pwd)
check="python3 $here/export_check.py"
work=$(mktemp -d)
mounted=""
trap 'kill ${pid:-} 2>/dev/null; [ -n "$mounted" ] && umount -l "$mounted"; rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$work" || exit 1
cp "$build/vrk.bin" .
for tool in flac metaflac openmpt123; do
    command -v $tool >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done

tag() { metaflac --show-tag="$1" "$2" | head -1 | sed "s/^[^=]*=//"; }
ms_of() { echo $(( 10#${1%\'*} * 60000 + 10#${1#*\'} * 1000 )); }
# near FILE MS: the file plays MS milliseconds, give or take half a second.
near() {
    local samples
    samples=$(metaflac --show-total-samples "$1")
    [ $(( samples * 1000 - $2 * 44100 )) -le $(( 500 * 44100 )) ] &&
        [ $(( $2 * 44100 - samples * 1000 )) -le $(( 500 * 44100 )) ]
}
# Checks what every exported file has, whichever disk it came from: FILE NUMBER TOTAL ALBUM.
common_checks() {
    flac --test --silent "$1" 2>/dev/null || fail "flac --test refuses $1"
    metaflac --list "$1" >/dev/null || fail "metaflac cannot list $1"
    [ "$(tag TRACKNUMBER "$1")" = "$2" ] || fail "$1: TRACKNUMBER $(tag TRACKNUMBER "$1")"
    [ "$(tag TRACKTOTAL "$1")" = "$3" ] || fail "$1: TRACKTOTAL $(tag TRACKTOTAL "$1")"
    [ "$(tag ALBUM "$1")" = "$4" ] || fail "$1: ALBUM $(tag ALBUM "$1")"
    [ "$(tag GENRE "$1")" = "Tracker" ] || fail "$1: GENRE"
    [ "$(metaflac --show-bps "$1")" = 16 ] && [ "$(metaflac --show-sample-rate "$1")" = 44100 ] ||
        fail "$1 is not 16-bit at 44100 Hz"
    tag COMMENT "$1" | grep -q "from the tracker module modules/" || fail "$1: COMMENT"
    for g in TRACK ALBUM; do
        tag REPLAYGAIN_${g}_GAIN "$1" | grep -Eq '^[+-][0-9]+\.[0-9]{2} dB$' ||
            fail "$1: REPLAYGAIN_${g}_GAIN '$(tag REPLAYGAIN_${g}_GAIN "$1")'"
        tag REPLAYGAIN_${g}_PEAK "$1" | grep -Eq '^[01]\.[0-9]{6}$' ||
            fail "$1: REPLAYGAIN_${g}_PEAK"
    done
}
# player_matches FLAC ARGS...: the player started with ARGS plays the first tune with the
# samples of FLAC (SDL's disk driver, writing as fast as it can, catches what it sends out).
player_matches() {
    local flacfile=$1 frames
    shift
    rm -f audio.raw
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/audio.raw SDL_DISKAUDIODELAY=0 \
        "$build/vrkdisk" --no-intro "$@" >player.log 2>&1 &
    pid=$!
    frames=$(metaflac --show-total-samples "$flacfile")
    enough() { [ -s audio.raw ] && [ "$($check heard audio.raw)" -gt "$frames" ]; }
    wait_for 120 enough
    kill "$pid"
    wait "$pid" 2>/dev/null
    pid=""
    flac --decode --silent --force --force-raw-format --endian=little --sign=signed \
        -o first.raw "$flacfile" || fail "flac cannot decode $flacfile"
    $check same first.raw audio.raw || fail "$flacfile is not what the player plays"
}

# ---- The built-in disk, into a folder named relative to where the user is.
"$build/vrkdisk" --export "out/disk" >summary.log 2>progress.log ||
    { cat progress.log >&2; fail "the export of the built-in disk failed"; }
grep -q "tune 31 of 31: " progress.log || fail "no progress line for the last tune"
grep -q "^tinselwave: wrote 31 tunes as FLAC (.*), 33 modules and 1 play list into $work/out/disk" \
    summary.log || fail "summary: $(cat summary.log)"
n=0
group=""
total=$(grep -c '^tune ' "$source/content/collection.txt")
: >expected.m3u
while IFS= read -r line; do
    case $line in
    "group "*) group=${line#group } ;;
    "tune "*)
        IFS='|' read -r title module time <<<"${line#tune }"
        title=$(echo $title) module=$(echo $module) time=$(echo $time)
        n=$((n + 1))
        f=$(printf 'out/disk/%02d - %s.flac' "$n" "$title")
        [ -f "$f" ] || fail "no $f"
        common_checks "$f" "$n" "$total" Tinselwave
        near "$f" "$(ms_of "$time")" || fail "$f does not play for $time"
        [ "$(tag TITLE "$f")" = "$title" ] || fail "$f: TITLE $(tag TITLE "$f")"
        [ "$(tag ARTIST "$f")" = "$group" ] || fail "$f: ARTIST $(tag ARTIST "$f")"
        [ "$(tag DATE "$f")" = 2026 ] || fail "$f: DATE"
        tag COMMENT "$f" | grep -q "modules/$module " || fail "$f: COMMENT names no $module"
        metaflac --list --block-type=PICTURE "$f" | grep -q 'type: 3 (Cover (front))' ||
            fail "$f has no front cover"
        basename "$f" >>expected.m3u
        ;;
    esac
done <"$source/content/collection.txt"
[ "$n" -eq 31 ] || fail "the collection lists $n tunes"
[ "$(ls out/disk/*.flac | wc -l)" -eq 31 ] || fail "not 31 FLAC files"
grep -v '^#' out/disk/Tinselwave.m3u8 | diff - expected.m3u >/dev/null || fail "the play list"
[ -z "$(ls -A out/disk | grep '^\.')" ] || fail "temporary files are left: $(ls -A out/disk)"
# The modules: the end tune and the intro's tune too, each the bytes its program carries.
endtune=$(awk '$1 == "endtune" {print $2}' "$source/content/collection.txt")
for m in $(awk -F'|' '/^tune /{gsub(/ /, "", $2); print $2}' "$source/content/collection.txt") \
    "$endtune" super.xm; do
    cmp -s "out/disk/modules/$m" "$build/content/music/$m" || fail "modules/$m is not the build's"
    program=$build/vrkdisk
    [ "$m" = super.xm ] && program=$build/libvrkintro.so
    $check inside "$program" "out/disk/modules/$m" || fail "modules/$m is not inside $program"
done
[ "$(ls out/disk/modules | wc -l)" -eq 33 ] || fail "not 33 modules"
player_matches "out/disk/01 - jingle bells.flac"
echo "the built-in disk: 31 tunes tested, tagged, timed and as the player plays them; 33 modules"

# ---- A folder of modules made by others, as the player opens it.
"$source/scripts/fetch-module-folder.sh" "$build/module-folder" >/dev/null ||
    fail "the folder of modules could not be fetched from Debian's mirror"
folder=$build/module-folder/modules
"$build/vrkdisk" --list "$folder" >list.txt 2>/dev/null || fail "--list of the folder"
$check listed list.txt >listed.txt
total=$(wc -l <listed.txt)
[ "$total" -ge 10 ] || fail "the folder makes only $total tunes"
"$build/vrkdisk" --export others "$folder" >summary.log 2>progress.log ||
    { cat progress.log >&2; fail "the export of the folder failed"; }
n=0
while read -r ms path; do
    n=$((n + 1))
    f=$(ls others/$(printf '%02d' $n)\ -\ *.flac) || fail "no file $n"
    common_checks "$f" "$n" "$total" modules
    near "$f" "$ms" || fail "$f does not play for the listed $ms ms"
    near "$f" "$($check length "$path")" || fail "$f does not play as long as openmpt123 says"
    [ -n "$(tag TITLE "$f")" ] && [ -n "$(tag ARTIST "$f")" ] || fail "$f: no TITLE or ARTIST"
    cmp -s "$path" "others/modules/$(basename "$path")" || fail "modules/$(basename "$path")"
done <listed.txt
player_matches "$(ls others/01\ -\ *.flac)" "$folder"
echo "a folder of others' modules: $total tunes tested, timed by two players, modules the same"

# ---- Bad input: each gets its line and exit status 1, and nothing half made is left.
expect_refusal() { # WANTED-LINE ARGS...
    local wanted=$1 status
    shift
    "$build/vrkdisk" "$@" >bad.log 2>&1
    status=$?
    [ "$status" -eq 1 ] || fail "vrkdisk $*: exit status $status, wanted 1"
    grep -q -- "$wanted" bad.log || fail "vrkdisk $*: no '$wanted' in: $(cat bad.log)"
}
for line in "--export" "--export=" "--force" "--force out/disk" "--list afile --export out"; do
    "$build/vrkdisk" $line >bad.log 2>&1
    status=$?
    [ "$status" -eq 2 ] && grep -q "Try 'tinselwave --help'" bad.log ||
        fail "vrkdisk $line: exit status $status, wanted 2 and a hint"
done
echo "not a folder" >afile
expect_refusal "cannot make the folder '$work/afile': Not a directory" --export afile/sub
expect_refusal "cannot write into '/proc/self': " --export /proc/self
expect_refusal "cannot make the folder '/proc/tw': " --export /proc/tw
# Files there already stay as they are; --force writes them again.
before=$(cd out/disk && md5sum -- *.flac modules/* Tinselwave.m3u8 | md5sum)
expect_refusal "01 - jingle bells.flac: not written: there already; not replaced without --force" \
    --export out/disk
grep -q "modules/super.xm: not written: there already" bad.log || fail "modules there already"
grep -q "tinselwave: 64 files were not written" bad.log || fail "not written count"
[ "$(cd out/disk && md5sum -- *.flac modules/* Tinselwave.m3u8 | md5sum)" = "$before" ] ||
    fail "files that were there already changed"
echo "mine" >"out/disk/05 - god rest ye merry.flac"
"$build/vrkdisk" --export out/disk --force >/dev/null 2>&1 || fail "--force did not write again"
flac --test --silent "out/disk/05 - god rest ye merry.flac" 2>/dev/null || fail "not replaced"
# A module that does not load: told, the rest written.
mkdir -p mixed
cp "$folder/njam/dali.xm" mixed/
# A packed module's header with garbage behind it: it looks like a module, it does not load.
{ printf 'PP20\011\012\013\013'; head -c 3000 /dev/zero | tr '\0' '\252'; printf '\0\020\0\0'; } \
    >mixed/broken.mod
expect_refusal "broken.mod: cannot be exported: " --export mixed-out mixed
[ -f "mixed-out/01 - dali4.flac" ] || fail "the module that loads was not written"
# Interrupted: the files in the making are taken away again.
"$build/vrkdisk" --export stopped >/dev/null 2>progress.log &
pid=$!
wait_for 60 grep -q "tune 1 of" progress.log
kill -INT "$pid"
wait "$pid"
status=$?
pid=""
[ "$status" -eq 130 ] || fail "interrupted: exit status $status, wanted 130"
[ -z "$(ls -A stopped | grep -v '^modules$')" ] || fail "interrupted: left $(ls -A stopped)"
if [ "$(id -u)" -eq 0 ] && mkdir small && mount -t tmpfs -o size=12m tmpfs small; then
    mounted=$work/small
    expect_refusal "not written: No space left on device" --export small/disk
    [ -z "$(ls -A small/disk | grep '^\.')" ] || fail "full disk: temporary files left"
    for f in small/disk/*.flac; do
        [ -e "$f" ] || continue
        flac --test --silent "$f" 2>/dev/null || fail "full disk: $f is broken"
    done
    mount -o remount,ro small
    expect_refusal "cannot write into '$work/small/disk': Read-only file system" --export small/disk
    umount small && mounted=""
    echo "bad input: folders, files there already, a broken module, an interruption, full and read-only disks"
else
    echo "bad input: folders, files there already, a broken module, an interruption" \
        "(not root: no small file system for a full or read-only disk)"
fi
