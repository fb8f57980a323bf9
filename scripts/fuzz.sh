#!/usr/bin/env bash
# Builds the fuzz targets with clang (into build/fuzz) and runs each one for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  cat <<USAGE
usage: scripts/fuzz.sh [--seconds N] [TARGET ...]
  Builds tests/fuzz with clang's libFuzzer and sanitizers into build/fuzz, then runs every
  target (or the TARGETs named) for N seconds each (default 60), one after the other.
  Targets are the folders of tests/fuzz/corpus/: $(ls "$root/tests/fuzz/corpus" | tr '\n' ' ')
  Each run starts from the seeds in tests/fuzz/corpus/TARGET and the inputs earlier runs kept in
  build/fuzz/corpus/TARGET. An input that crashes, hangs (10 s) or takes more than 2.5 GB is
  saved to build/fuzz/findings/TARGET/ and the script fails.
USAGE
}

seconds=60
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --help|-h) usage; exit 0 ;;
    --seconds) [ $# -ge 2 ] && [[ "$2" =~ ^[0-9]+$ ]] || { echo "fuzz.sh: --seconds needs a whole number" >&2; exit 2; }
               seconds=$2; shift 2 ;;
    -*) echo "fuzz.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
    *) [ -d "$root/tests/fuzz/corpus/$1" ] || { echo "fuzz.sh: no target '$1' (see --help)" >&2; exit 2; }
       targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  for folder in "$root"/tests/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi
command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ not found (scripts/install-deps.sh installs it)" >&2; exit 1; }

build="$root/build/fuzz"
cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/%/_fuzz}"

failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzzing $target for ${seconds}s"
  status=0
  # one process, so a finding stops the run; the log keeps libFuzzer's final figures
  LSAN_OPTIONS="suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0" \
  "$build/${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" "$root/tests/fuzz/corpus/$target" \
      >"$build/$target.log" 2>&1 || status=$?
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' \
      "$build/$target.log" | sed 's/^stat::/   /' || true
  if [ "$status" -ne 0 ]; then
    echo "FAIL: $target found a crash, hang or memory blow-up (status $status):" >&2
    grep -E '^==[0-9]+==ERROR|^SUMMARY|ALARM|out-of-memory|deadly signal|Test unit written' \
        "$build/$target.log" >&2 || tail -n 20 "$build/$target.log" >&2
    failed=1
  fi
done
exit "$failed"
