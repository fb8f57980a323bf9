#!/usr/bin/env bash
# The picture generator's command line, and whether the shipped cards, backdrop and sphere map are what it makes now.
set -u
source "$(dirname "$0")/../support/shell/checks.sh"
gen=$1
data=$2
make_work_dir work

# Options: help succeeds, mistakes are refused with a non-zero status and a message.
"$gen" --help >"$work/help.txt" 2>&1 || check_failed "--help exited non-zero"
grep -q -- "--only" "$work/help.txt" || check_failed "--help does not describe --only"
"$gen" --frobnicate >/dev/null 2>"$work/err.txt" && check_failed "an unknown option was accepted"
[ -s "$work/err.txt" ] || check_failed "an unknown option gave no message"
"$gen" --out "$work/missing" --only Dimbrane.png --no-sheet >/dev/null 2>&1 && check_failed "a missing output folder was accepted"
"$gen" --out "$work" --only Nothing.png --no-sheet >/dev/null 2>&1 && check_failed "an unknown picture name was accepted"
[ -z "$(ls -A "$work" | grep -v -e help.txt -e err.txt)" ] || check_failed "a refused run wrote files"

# --only writes that one file and nothing else.
mkdir "$work/one"
"$gen" --out "$work/one" --only Presents.png --no-sheet >/dev/null || check_failed "--only Presents.png failed"
[ "$(ls "$work/one")" = "Presents.png" ] || check_failed "--only wrote: $(ls "$work/one" | tr '\n' ' ')"

# The generator's pictures are made again and compared byte for byte with the shipped ones: a
# generator change that was not followed by a regeneration shows up here. They are every picture
# its own list does not give to Blender (the slides and the sphere map, rendered for hours).
mkdir "$work/fresh"
"$gen" --list >"$work/list.txt" || check_failed "--list exited non-zero"
quick=$(awk '$5 == "generator" { print $1 }' "$work/list.txt")
[ "$(wc -l <"$work/list.txt")" -eq "$(ls "$data" | grep -c -e '\.png$' -e '\.jpg$')" ] ||
    check_failed "--list names $(wc -l <"$work/list.txt") pictures but data/ holds $(ls "$data" | grep -c -e '\.png$' -e '\.jpg$')"
[ -n "$quick" ] || check_failed "--list names no pictures the generator makes"
grep -q '^Bilde01.jpg slide 1024 1024 blender$' "$work/list.txt" || check_failed "--list does not give the slides to Blender"
"$gen" --out "$work" --only Bilde01.jpg --no-sheet >/dev/null 2>"$work/err.txt" && check_failed "the generator took a slide"
grep -q render_pictures.py "$work/err.txt" || check_failed "refusing a slide does not say what renders it"
for name in $quick; do
    "$gen" --out "$work/fresh" --only "$name" --no-sheet >/dev/null || { check_failed "generating $name failed"; continue; }
    cmp -s "$work/fresh/$name" "$data/$name" || check_failed "data/$name differs from what the generator makes now"
done

checks_done "all generator checks passed"
