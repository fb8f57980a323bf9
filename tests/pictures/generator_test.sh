#!/usr/bin/env bash
# The picture generator's command line, and whether the shipped cards, backdrop and sphere map are what it makes now.
set -u
gen=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Options: help succeeds, mistakes are refused with a non-zero status and a message.
"$gen" --help >"$work/help.txt" 2>&1 || fail "--help exited non-zero"
grep -q -- "--only" "$work/help.txt" || fail "--help does not describe --only"
"$gen" --frobnicate >/dev/null 2>"$work/err.txt" && fail "an unknown option was accepted"
[ -s "$work/err.txt" ] || fail "an unknown option gave no message"
"$gen" --out "$work/missing" --only Dimbrane.png --no-sheet >/dev/null 2>&1 && fail "a missing output folder was accepted"
"$gen" --out "$work" --only Nothing.png --no-sheet >/dev/null 2>&1 && fail "an unknown picture name was accepted"
[ -z "$(ls -A "$work" | grep -v -e help.txt -e err.txt)" ] || fail "a refused run wrote files"

# --only writes that one file and nothing else.
mkdir "$work/one"
"$gen" --out "$work/one" --only Presents.png --no-sheet >/dev/null || fail "--only Presents.png failed"
[ "$(ls "$work/one")" = "Presents.png" ] || fail "--only wrote: $(ls "$work/one" | tr '\n' ' ')"

# The quick pictures are regenerated and compared byte for byte with the shipped ones:
# a generator change that was not followed by a regeneration shows up here. The quick pictures
# are every one but the slides, as the generator's own list says.
mkdir "$work/fresh"
"$gen" --list >"$work/list.txt" || fail "--list exited non-zero"
quick=$(awk '$2 != "slide" { print $1 }' "$work/list.txt")
[ "$(wc -l <"$work/list.txt")" -eq "$(ls "$data" | grep -c -e '\.png$' -e '\.jpg$')" ] ||
    fail "--list names $(wc -l <"$work/list.txt") pictures but data/ holds $(ls "$data" | grep -c -e '\.png$' -e '\.jpg$')"
[ -n "$quick" ] || fail "--list names no quick pictures"
for name in $quick; do
    "$gen" --out "$work/fresh" --only "$name" --no-sheet >/dev/null || { fail "generating $name failed"; continue; }
    cmp -s "$work/fresh/$name" "$data/$name" || fail "data/$name differs from what the generator makes now"
done

[ "$failures" -eq 0 ] && echo "all generator checks passed"
exit $((failures > 0))
