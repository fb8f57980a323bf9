#!/usr/bin/env bash
# Builds the show with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) and plays it
# from start to end under a virtual X server with silent audio; any report fails the run.
# Leaks that belong to system libraries are suppressed one by one in scripts/lsan-suppressions.txt;
# scripts/keep_libraries_loaded.c keeps them loaded to the end, so that their leaks carry their names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

echo "== sanitizers: building the show into $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build "$build" -j"$(nproc)" --target vellamor

log=$(mktemp)
keep="$build/keep_libraries_loaded.so"
trap 'rm -f "$log"' EXIT
cc -shared -fPIC -o "$keep" "$root/scripts/keep_libraries_loaded.c"
# the sanitizer runtime must come first among preloaded libraries
preload="$(cc -print-file-name=libasan.so) $keep"
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

echo "== sanitizers: playing the whole show (about 90 s)"
status=0
(cd "$root" && timeout 600 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    env SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy LD_PRELOAD="$preload" "$build/vellamor") \
    2>"$log" || status=$?
cat "$log" >&2
if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$log"; then
    echo "FAIL: the sanitizers reported the errors above" >&2
    exit 1
fi
[ "$status" -eq 0 ] || { echo "FAIL: the show ended with status $status" >&2; exit 1; }
echo "PASS: the whole show under AddressSanitizer and UndefinedBehaviorSanitizer, no report"
