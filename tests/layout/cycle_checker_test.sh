#!/usr/bin/env bash
# The include-cycle checker fails on the cycles it is there to catch, naming their modules, and
# passes a tree whose arrows run one way: without this, a checker that never fails would let
# layout.no_include_cycle pass for nothing.
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

# expect_cycle NAME MODULE...: the checker exits 1 and names every module of the cycle.
expect_cycle() {
    local name=$1; shift
    local status=0
    "$checker" --root "$tree" low high >"$tree/out" 2>&1 || status=$?
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
"$checker" --root "$tree" low high >"$tree/out" 2>&1 || { cat "$tree/out" >&2; fail "a one-way tree was refused"; }
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
"$checker" --root "$tree" low hihg >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a missing folder gave status $status, not 2"
echo "ok: a missing folder is refused"
