#!/usr/bin/env bash
# The whole job on a fresh machine: install what the build needs, build a Release build in
# build/release, prepare the demo program folder build/demo and start the player from it.
#
#   scripts/run.sh [--fresh]      --fresh rebuilds the demo folder from scratch
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"
demo="$root/build/demo"

if [[ -f "$root/scripts/install-deps.sh" ]]; then
    bash "$root/scripts/install-deps.sh"
else
    echo "run.sh: scripts/install-deps.sh not found, assuming the packages are installed" >&2
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORX_SANITIZE=OFF \
    -DORX_BUILD_TESTS=OFF -DORX_BUILD_BENCH=OFF
cmake --build "$build" --target brenvik vdhost tallyx orx_language_files demo-playlist demo-shortcut

"$root/scripts/make-demo.sh" "$@" "$build" "$demo"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run.sh: no display available; the demo folder is ready in $demo." >&2
    echo "run.sh: start it under a virtual display with:  xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

echo "Starting $demo/brenvik (decoder hosts and the remote control print what they receive)"
cd "$demo"
exec "$demo/brenvik"
