#!/usr/bin/env bash
# Fails, naming the files, when a quoted include runs against the arrows allowed between folders
# (scripts/include-arrows.txt), names no file of the repository, or closes a cycle.
# A header and the source file of the same name count as one module: a.cpp including b.h and
# b.cpp including a.h is a cycle, even though no header includes itself.
# Usage: include-cycles.sh [--root DIR] [--arrows FILE] [FOLDER...]   (default: every folder of FILE)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
arrows=$here/include-arrows.txt
folders=()
while [ $# -gt 0 ]; do
    case "$1" in
        --root) root=${2:?--root needs a folder}; shift 2 ;;
        --arrows) arrows=${2:?--arrows needs a file}; shift 2 ;;
        -h|--help)
            sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
        -*) echo "include-cycles.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
        *) folders+=("$1"); shift ;;
    esac
done
[ -f "$arrows" ] || { echo "include-cycles.sh: no arrow table $arrows" >&2; exit 2; }
# the table without its comments: "folder allowed..." a line
table=$(sed 's/#.*//' "$arrows" | awk 'NF')

cd "$root"
if [ ${#folders[@]} -eq 0 ]; then
    while read -r d _; do [ ! -d "$d" ] || folders+=("$d"); done <<<"$table"
fi
for d in "${folders[@]}"; do
    [ -d "$d" ] || { echo "include-cycles.sh: no folder $d under $root" >&2; exit 2; }
done

# one "file included" line per quoted include, each written from the repository root (or naming
# a file beside the including one, where no file of that path is at the root), and "file file"
# for every file, so each is counted as a module
includes=$(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.S' \) |
    sort | while read -r f; do
    echo "$f $f"
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f" |
        while read -r inc; do
            [ -e "$inc" ] || [ ! -e "$(dirname "$f")/$inc" ] || inc="$(dirname "$f")/$inc"
            [ -e "$inc" ] || inc="?$inc"  # names no file
            echo "$f $inc"
        done
done)

# each include along an allowed arrow: within a folder, or from a folder whose line names the
# other (or "*"); an include that names no file cannot be placed, so it is refused too
wrong=$(awk 'NR == FNR { for (i = 2; i <= NF; ++i) may[$1, $i] = 1; listed[$1] = 1; next }
    {
        from = $1; sub(/\/.*/, "", from); to = $2; sub(/\/.*/, "", to)
        if ($2 ~ /^\?/) print "  " $1 " includes \"" substr($2, 2) "\", no file of the repository (include by path from the root)"
        else if (from == to) next
        else if (!(from in listed)) print "  " $1 ": the arrow table has no line for " from "/"
        else if (!((from, "*") in may) && !((from, to) in may)) print "  " $1 " includes " $2 ": " from "/ may not include " to "/"
    }' <(echo "$table") <(echo "$includes") | sort -u)
if [ -n "$wrong" ]; then
    echo "include-cycles.sh: includes against the arrows of $arrows:" >&2
    echo "$wrong" >&2
    exit 1
fi

# modules named by path without extension; every module also names itself, so it is counted
edges=$(echo "$includes" | awk '{ sub(/\.[^.\/]*$/, "", $1); sub(/\.[^.\/]*$/, "", $2); print $1, $2 }')
modules=$(echo "$edges" | awk '{print $1}' | sort -u | wc -l)
arrows_seen=$(echo "$edges" | awk '$1 != $2' | sort -u | wc -l)
if ! order=$(echo "$edges" | tsort 2>"${TMPDIR:-/tmp}/include-cycles.$$"); then
    echo "include-cycles.sh: the includes among ${folders[*]} form a cycle through:" >&2
    grep -v 'input contains a loop' "${TMPDIR:-/tmp}/include-cycles.$$" | sed 's/^tsort: /  /' >&2
    rm -f "${TMPDIR:-/tmp}/include-cycles.$$"
    exit 1
fi
rm -f "${TMPDIR:-/tmp}/include-cycles.$$"
echo "no include against the arrows, and no cycle, among ${folders[*]}: $modules modules, $arrows_seen arrows"
