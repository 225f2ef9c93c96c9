#!/usr/bin/env bash
# Installs the Debian packages the disk and its tests need, once. Idempotent: does nothing
# when every package is already there. `setup.sh bench` adds what only the benchmarks need.
set -euo pipefail

packages=(
    build-essential cmake pkg-config dpkg-dev
    libsdl2-dev libopenmpt-dev liblzo2-dev zlib1g-dev libsystemd-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xdotool openbox imagemagick x11-utils
    xmp libxmp-dev libebur128-dev lib3ds-dev assimp-testmodels assimp-utils sox openmpt123
    clang libclang-rt-14-dev python3 qemu-user dbus playerctl
    sway grim wtype appstream desktop-file-utils libflac-dev flac
)
# The engine benchmark's peer renderer (OSMesa, llvmpipe); no test or deliverable uses it.
if [ "${1:-}" = "bench" ]; then
    packages+=(libosmesa6-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
