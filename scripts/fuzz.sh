#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan; build/fuzz) and runs each for a bounded time
# with a fixed seed, starting from a seed corpus written by the program's own encoders and from
# the saved inputs of earlier findings (fuzz/regressions/<target>/). Inputs that fail are saved
# as build/fuzz/artifacts/<target>/crash-* (or timeout-*, leak-*, oom-*).
#
#   scripts/fuzz.sh                     every target for 10 s (what scripts/test.sh runs)
#   scripts/fuzz.sh --seconds 300 playlist settings
#                                       a longer run of some targets
#   scripts/fuzz.sh --keep ...          keep growing build/fuzz/corpus/<target> (and the
#                                       artifacts) across runs
#   scripts/fuzz.sh --no-deps ...       skip the package check (the caller has done it)
#   ORX_FUZZ_BUILD=build/fuzz-long scripts/fuzz.sh ...
#                                       another build folder, e.g. for a long run in the
#                                       background while build/fuzz is rebuilt
#
# The exit status is 0 when no target found anything.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${ORX_FUZZ_BUILD:-$root/build/fuzz}")
seconds=10
keep=0
deps=1
targets=()
while (($#)); do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --keep) keep=1; shift ;;
        --no-deps) deps=0; shift ;;
        -h | --help) sed -n '2,17p' "${BASH_SOURCE[0]}"; exit 0 ;;
        -*) echo "fuzz.sh: unknown option $1" >&2; exit 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done

if ((deps)); then
    "$root/scripts/install-deps.sh"
fi

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Optimised, with assertions kept.
cmake -S "$root" -B "$build" -G Ninja -DORX_FUZZ=ON -DORX_BUILD_TESTS=OFF -DORX_BUILD_BENCH=OFF \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
    "${launcher[@]}" >/dev/null
cmake --build "$build" --target fuzzers -j "$(nproc)"

if ((${#targets[@]} == 0)); then
    for program in "$build"/fuzz/fuzz_*; do
        name=${program##*/fuzz_}
        [[ "$name" != seeds ]] && targets+=("$name")
    done
fi

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/fuzz_seeds" "$seeds"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"

failed=()
summary=()
for name in "${targets[@]}"; do
    program="$build/fuzz/fuzz_$name"
    if [[ ! -x "$program" ]]; then
        echo "fuzz.sh: no target $name" >&2
        failed+=("$name")
        continue
    fi
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    ((keep)) || rm -rf "$corpus" "$artifacts"
    mkdir -p "$corpus" "$artifacts" "$seeds/$name"
    inputs=("$corpus" "$seeds/$name")
    [[ -d "$root/fuzz/regressions/$name" ]] && inputs+=("$root/fuzz/regressions/$name")
    log="$build/fuzz-$name.log"
    echo "fuzz: $name for ${seconds}s"
    set +e
    "$program" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "${inputs[@]}" >"$log" 2>&1
    status=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    rate=$(( ${runs:-0} / (${time:-0} > 0 ? ${time:-1} : 1) ))
    summary+=("$(printf '%-16s %10s runs %7s exec/s  %s' "$name" "${runs:-?}" "$rate" \
        "$( ((status == 0)) && echo ok || echo "FAILED ($log)")")")
    if ((status != 0)); then
        failed+=("$name")
        grep -E "^(==[0-9]+==ERROR|SUMMARY|fuzz invariant|[^ ]*runtime error)" "$log" | head -n 5 >&2 || true
    fi
done

printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
    echo "fuzz: findings in ${failed[*]}; inputs in $build/artifacts/" >&2
    exit 1
fi
