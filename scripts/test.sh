#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then
# runs every fuzz target for a short bounded time (scripts/fuzz.sh; ORX_FUZZ_SECONDS per target,
# default 10, 0 skips them). The exit status is non-zero when either part fails.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/asan"

"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORX_SANITIZE=ON
cmake --build "$build" -j "$(nproc)"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Leaks inside system libraries the user interface loads (fontconfig, GLib) are not ours.
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"

set +e
ctest --test-dir "$build" --output-on-failure --timeout 300
status=$?
fuzz_status=0
if [[ "${ORX_FUZZ_SECONDS:-10}" != 0 ]]; then
    "$root/scripts/fuzz.sh" --no-deps --seconds "${ORX_FUZZ_SECONDS:-10}"
    fuzz_status=$?
fi
set -e
((status == 0)) || exit "$status"
exit "$fuzz_status"
