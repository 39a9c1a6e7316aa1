#!/usr/bin/env bash
# The whole job on a fresh machine: install what the build needs, build a Release build in
# build/release, prepare the demo program folder build/demo and start the player from it. With a
# display the boards play the clips through the libmpv decoder host (one video window per board)
# and the mixer stand-in shows its state in a panel.
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
cmake --build "$build" --target brenvik vdhost vdhost-mpv tallyx orx_language_files demo-playlist \
    demo-shortcut

"$root/scripts/make-demo.sh" "$@" "$build" "$demo"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "run.sh: no display available; the demo folder is ready in $demo." >&2
    echo "run.sh: start it under a virtual display with:  xvfb-run -a scripts/run.sh" >&2
    exit 1
fi

# The player starts "vdhost" from its own folder: here that is the host that plays video.
cp -f "$build/bin/vdhost-mpv" "$demo/vdhost"

# The player finds the remote control running and leaves it alone; it goes when the player does.
cd "$demo"
"$demo/tallyx" --panel > "$demo/tallyx.out" 2>&1 &
mixer=$!
trap 'kill "$mixer" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    grep -q "ready" "$demo/tallyx.out" 2>/dev/null && break
    sleep 0.1
done

echo "Starting $demo/brenvik: select a playlist and press Play; each board shows its video window"
"$demo/brenvik"
