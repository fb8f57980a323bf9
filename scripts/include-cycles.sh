#!/usr/bin/env bash
# Fails, naming the files, when the quoted includes among the show's folders form a cycle.
# A header and the source file of the same name count as one module: a.cpp including b.h and
# b.cpp including a.h is a cycle, even though no header includes itself.
# Usage: include-cycles.sh [--root DIR] [FOLDER...]   (default: the show's five folders)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
folders=()
while [ $# -gt 0 ]; do
    case "$1" in
        --root) root=${2:?--root needs a folder}; shift 2 ;;
        -h|--help)
            sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
        -*) echo "include-cycles.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
        *) folders+=("$1"); shift ;;
    esac
done
[ ${#folders[@]} -gt 0 ] || folders=(shell audio assets show platform)

cd "$root"
for d in "${folders[@]}"; do
    [ -d "$d" ] || { echo "include-cycles.sh: no folder $d under $root" >&2; exit 2; }
done

# one "from to" line per include, modules named by path without extension (includes are
# written from the repository root, or name a file beside); every module also names itself,
# so it is counted
edges=$(find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) | sort | while read -r f; do
    from=${f%.*}
    echo "$from $from"
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f" |
        while read -r inc; do
            # a name beside the including file, where no file of that path is at the root
            [ -e "$inc" ] || [ ! -e "$(dirname "$f")/$inc" ] || inc="$(dirname "$f")/$inc"
            echo "$from ${inc%.*}"
        done
done)

modules=$(echo "$edges" | awk '{print $1}' | sort -u | wc -l)
arrows=$(echo "$edges" | awk '$1 != $2' | sort -u | wc -l)
if ! order=$(echo "$edges" | tsort 2>"${TMPDIR:-/tmp}/include-cycles.$$"); then
    echo "include-cycles.sh: the includes among ${folders[*]} form a cycle through:" >&2
    grep -v 'input contains a loop' "${TMPDIR:-/tmp}/include-cycles.$$" | sed 's/^tsort: /  /' >&2
    rm -f "${TMPDIR:-/tmp}/include-cycles.$$"
    exit 1
fi
rm -f "${TMPDIR:-/tmp}/include-cycles.$$"
echo "no include cycle among ${folders[*]}: $modules modules, $arrows arrows"
