#!/usr/bin/env bash
# Formats the C++ sources with clang-format and the repository's .clang-format; --check only reports.
set -euo pipefail

usage() {
    cat <<'TEXT'
usage: format.sh [--check] [FILE ...]
  Formats the tracked C++ sources (*.cpp, *.h) in place with clang-format, following the
  repository's .clang-format; or only the FILEs given.
  --check   change nothing: list each file clang-format would change, with how many of its
            lines, and exit with status 1 if there is any.
TEXT
}

check=0
files=()
while [ $# -gt 0 ]; do
    case "$1" in
        --check) check=1; shift ;;
        -h|--help) usage; exit 0 ;;
        -*) echo "format.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
        *) files+=("$1"); shift ;;
    esac
done

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || { echo "format.sh: clang-format is not installed (apt-get install clang-format)" >&2; exit 1; }
[ -f .clang-format ] || { echo "format.sh: no .clang-format in $root" >&2; exit 1; }
if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
fi

if [ "$check" -eq 0 ]; then
    clang-format -i --style=file "${files[@]}"
    echo "formatted ${#files[@]} files"
    exit 0
fi

changed_files=0
changed_lines=0
for f in "${files[@]}"; do
    [ -f "$f" ] || { echo "format.sh: no file $f" >&2; exit 2; }
    # lines of the file that formatting would replace or remove
    n=$(clang-format --style=file "$f" | diff "$f" - | grep -c '^<' || true)
    if [ "$n" -gt 0 ]; then
        echo "$f: $n lines"
        changed_files=$((changed_files + 1))
        changed_lines=$((changed_lines + n))
    fi
done
echo "$changed_lines lines in $changed_files of ${#files[@]} files would change"
[ "$changed_files" -eq 0 ]
