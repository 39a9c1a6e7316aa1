#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running the player need. Quick when
# everything is already there; runs apt-get as root, through sudo otherwise.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    libavformat-dev libavcodec-dev libavutil-dev libmpv-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    ffmpeg clang-format
    xvfb xauth fonts-dejavu-core
    # scripts/fuzz.sh: clang, libFuzzer (in the compiler runtime) and llvm-symbolizer
    clang libclang-rt-14-dev llvm
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    if [[ "$status" != installed ]]; then
        missing+=("$package")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

if ((EUID == 0)); then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "${missing[@]}"
