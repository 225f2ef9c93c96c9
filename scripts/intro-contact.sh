#!/usr/bin/env bash
# The intro's contact sheet: both scenes rendered with scenerender as the intro plays them,
# every 100 frames and their last, montaged with ImageMagick four to a row.
#   scripts/intro-contact.sh [BUILD [OUT.png]]   (default: build, docs/intro-contact.png)
# Run it from the source folder; BUILD holds scenerender and vrk.bin.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=$(realpath -m "${2:-docs/intro-contact.png}")
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sheet=()
for scene in "first train.3ds 869" "second hut2.3ds 599"; do
    read -r which file last <<<"$scene"
    (cd "$build" && ./scenerender --scene "$which" --frames "0..$last" "$file" "$tmp/$file.png")
    for f in $(seq 0 100 $((last - 1))) "$last"; do
        label=$(awk -v f="$f" -v n="$file" 'BEGIN { printf "%s frame %d (%.1f s)", n, f, f * 0.03 }')
        sheet+=(-label "$label" "$tmp/$file-$(printf %04d "$f").png")
    done
done
montage -background '#0b1020' -fill white -pointsize 11 "${sheet[@]}" \
    -tile 4x -geometry 320x200+4+4 "$out"
echo "wrote $out"
