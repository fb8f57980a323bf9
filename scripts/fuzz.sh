#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/, the whole show instrumented for
# coverage, AddressSanitizer and UndefinedBehaviorSanitizer) and runs each one for a bounded time
# on a copy of its seed corpus (tests/fuzz/corpus/<name>/). Any finding fails the run; the input
# that caused it is kept in build-fuzz/fuzz-findings/<target>/.
# Usage: scripts/fuzz.sh [--seconds N] [TARGET ...]   (default: 60 s each, every target)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=60

# every target, as tests/fuzz/CMakeLists.txt builds them, with its corpus folder
all_targets=(mp3_fuzz)

usage() {
    sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
}

targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        --help|-h) usage; exit 0 ;;
        -*) echo "fuzz.sh: unknown option $1" >&2; usage >&2; exit 2 ;;
        *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
echo "== fuzz: building ${targets[*]} into $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

failed=()
for target in "${targets[@]}"; do
    name=${target%_fuzz}
    corpus="$build/fuzz-corpus/$name"
    findings="$build/fuzz-findings/$target"
    mkdir -p "$corpus" "$findings"
    cp -n "$root/tests/fuzz/corpus/$name"/* "$corpus/" 2>/dev/null || true
    echo "== fuzz: $target for ${seconds}s"
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
        >"$findings/log.txt" 2>&1; then
        tail -n 60 "$findings/log.txt" >&2
        failed+=("$target")
    else
        grep -E "^stat::number_of_executed_units|^stat::peak_rss_mb|^#[0-9]+.*DONE" "$findings/log.txt" || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "FAIL: fuzz findings in ${failed[*]} (inputs in $build/fuzz-findings/)" >&2
    exit 1
fi
echo "PASS: ${targets[*]}: no finding in ${seconds}s each"
