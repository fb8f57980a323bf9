#!/usr/bin/env bash
# The include checker fails on the cycles and the wrong arrows it is there to catch, naming their
# files, and passes a tree whose arrows run one way along its table: without this, a checker that
# never fails would let layout.no_include_cycle pass for nothing.
# Usage: cycle_checker_test.sh path/to/include-cycles.sh
set -euo pipefail
checker=${1:?usage: cycle_checker_test.sh path/to/include-cycles.sh}
source "$(dirname "$0")/../support/shell/checks.sh"
make_work_dir tree

# Writes a file whose lines are includes of the given repository paths.
write() {
    local file=$1; shift
    mkdir -p "$tree/$(dirname "$file")"
    echo "// $file" >"$tree/$file"
    for inc in "$@"; do echo "#include \"$inc\"" >>"$tree/$file"; done
}

# The arrow table: each line a folder and the folders it may include. Cycles are checked with
# arrows both ways, so that only the cycle stops them.
table() { printf '%s\n' "$@" >"$tree/arrows.txt"; }
table "high low" "low high"
check() { "$checker" --root "$tree" --arrows "$tree/arrows.txt" "$@"; }

# expect_cycle NAME MODULE...: the checker exits 1 and names every module of the cycle.
expect_cycle() {
    local name=$1; shift
    local status=0
    check low high >"$tree/out" 2>&1 || status=$?
    [ "$status" -eq 1 ] || { cat "$tree/out" >&2; fail "$name: exit status $status, not 1"; }
    for m in "$@"; do grep -qx "  $m" "$tree/out" || { cat "$tree/out" >&2; fail "$name: $m not named"; }; done
    echo "ok: $name"
}

# a one-way tree: sources include their own header, headers include lower headers and system ones
write low/a.h "low/b.h"
write low/a.cpp "low/a.h" "low/b.h"
write low/b.h
write low/b.cpp "low/b.h"
write high/top.cpp "low/a.h"
echo '#include <vector>' >>"$tree/high/top.cpp"
check low high >"$tree/out" 2>&1 || { cat "$tree/out" >&2; fail "a one-way tree was refused"; }
echo "ok: a one-way tree passes"

# the lower module calls back up through the higher one's header
write low/b.cpp "low/b.h" "high/top.h"
write high/top.h
expect_cycle "a source including a higher header" low/b high/top low/a

# two headers including each other
write low/b.cpp "low/b.h"
write low/b.h "low/a.h"
expect_cycle "two headers including each other" low/a low/b

# two modules calling each other, each source including the other's header (as the stream
# table and the position model would, were the table to publish positions itself)
write low/b.h
write low/a.cpp "low/a.h"
write low/c.h
write low/c.cpp "low/c.h" "low/d.h"
write low/d.h
write low/d.cpp "low/d.h" "low/c.h"
expect_cycle "sources calling each other through their headers" low/c low/d

# a cycle written with names beside the including file rather than from the root
write low/c.cpp "low/c.h"
write low/d.cpp "low/d.h"
write high/e.h "f.h"
write high/f.h "e.h"
expect_cycle "two headers including each other by their bare names" high/e high/f

# a misspelt folder is an error, not an empty tree that passes
status=0
check low hihg >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a missing folder gave status $status, not 2"
echo "ok: a missing folder is refused"

# expect_refused NAME TEXT FOLDER...: the checker exits 1 and its report holds TEXT.
expect_refused() {
    local name=$1 text=$2; shift 2
    local status=0
    check "$@" >"$tree/out" 2>&1 || status=$?
    [ "$status" -eq 1 ] || { cat "$tree/out" >&2; fail "$name: exit status $status, not 1"; }
    grep -qF -- "$text" "$tree/out" || { cat "$tree/out" >&2; fail "$name: no '$text'"; }
    echo "ok: $name"
}

# direction: the one-way tree again, with high above low; a lower file including a higher
# header is refused though it closes no cycle
rm -rf "$tree/low" "$tree/high"
write low/a.h
write low/a.cpp "low/a.h"
write high/top.h
write high/main.cpp "high/top.h" "low/a.h"
table "high low" "low"
check low high >/dev/null 2>&1 || fail "a tree along its arrows was refused"
write low/a.cpp "low/a.h" "high/top.h"
expect_refused "an include against the arrows" "low/a.cpp includes high/top.h: low/ may not include high/" low high
table "high low" "low *"
check low high >/dev/null 2>&1 || fail "a folder allowed everything was refused"
table "high low"
expect_refused "a folder with no line" "the arrow table has no line for low/" low high
table "high low" "low"
write low/a.cpp "low/a.h" "a_typo.h"
expect_refused "an include naming no file" 'includes "a_typo.h", no file' low high

# the real table on a copy of the real sources: the platform layer including a show header is
# refused, as an arrow up the layers
real=$(cd "$(dirname "$checker")/.." && pwd)
rm -rf "$tree"/*
(cd "$real" && find shell show audio assets platform tools web \( -name '*.h' -o -name '*.cpp' -o -name '*.S' \) \
    -exec cp --parents {} "$tree" \;)
cp "$real/scripts/include-arrows.txt" "$tree/arrows.txt"
check >/dev/null 2>&1 || fail "a copy of the real sources was refused"
echo '#include "show/show_times.h"' >>"$tree/platform/bass.h"
expect_refused "the platform layer including the show" "platform/bass.h includes show/show_times.h: platform/ may not include show/"
