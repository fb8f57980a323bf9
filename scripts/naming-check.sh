#!/usr/bin/env bash
# Fails, naming each place, where a name breaks the house's conventions: clang-tidy's naming check
# (configured in .clang-tidy) over every file the build compiles and the headers they include, and
# a look at the GoogleTest suite and test names, which macros make where clang-tidy cannot see them.
# Usage: naming-check.sh --build DIR [--root DIR]   (DIR: a configured build, with compile_commands.json)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=''
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=${2:?--build needs a folder}; shift 2 ;;
        --root) root=${2:?--root needs a folder}; shift 2 ;;
        -h|--help)
            sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
        *) echo "naming-check.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
    esac
done
[ -n "$build" ] || { echo "naming-check.sh: no --build folder (see --help)" >&2; exit 2; }
root=$(cd "$root" && pwd)
build=$(cd "$build" && pwd)
[ -f "$build/compile_commands.json" ] ||
    { echo "naming-check.sh: no compile_commands.json in $build (configure it with cmake first)" >&2; exit 2; }
command -v clang-tidy >/dev/null ||
    { echo "naming-check.sh: clang-tidy is not installed (scripts/install-deps.sh installs it)" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# the project's own C++ sources, as the build compiles them (not the build's generated files)
grep -o '"file": *"[^"]*"' "$build/compile_commands.json" | sed 's/^"file": *"//; s/"$//' |
    awk -v root="$root/" -v build="$build/" 'index($0, root) == 1 && index($0, build) != 1 && /\.cpp$/' |
    sort -u >"$scratch/files"
[ -s "$scratch/files" ] || { echo "naming-check.sh: the build compiles no .cpp file under $root" >&2; exit 2; }

# headers are read once per file that includes them: a name is reported once
folders=$(cd "$root" && git ls-files '*.h' | cut -d/ -f1 | sort -u | paste -sd'|')
status=0
xargs -P "$(nproc)" -n 8 clang-tidy --quiet -p "$build" --header-filter="^$root/($folders)/" \
    <"$scratch/files" >"$scratch/tidy" 2>"$scratch/tidy_stderr" || status=$?
problems=$(grep -E ': (warning|error): ' "$scratch/tidy" | sed "s|^$root/||" | sort -u || true)
# naming warnings leave clang-tidy's status at 0: anything else is a file that was not read whole
if [ "$status" -ne 0 ] && [ -z "$problems" ]; then
    problems="clang-tidy failed (status $status): $(grep -v 'warnings generated' "$scratch/tidy_stderr" | tail -3)"
fi

# GoogleTest's suite and test names (and a parameterised suite's prefix), lower_case words
tests=$(cd "$root" && git ls-files '*.cpp' | xargs perl -0777 -ne '
    while (/\b(TEST|TEST_F|TEST_P|TYPED_TEST|TYPED_TEST_P|INSTANTIATE_TEST_SUITE_P)\s*\(\s*(\w+)\s*,\s*(\w+)/g) {
        my ($macro, $a, $b) = ($1, $2, $3);
        my $line = 1 + (substr($_, 0, $-[0]) =~ tr/\n//);
        for my $name ($a, $b) {
            print "$ARGV:$line: $macro name \x27$name\x27 is not lower_case\n" unless $name =~ /^[a-z][a-z0-9_]*$/;
        }
    }')
problems=$(printf '%s\n%s\n' "$problems" "$tests" | awk 'NF')

if [ -n "$problems" ]; then
    echo "$problems"
    echo "naming-check.sh: $(wc -l <<<"$problems") name(s) against the conventions (CONVENTIONS.md)" >&2
    exit 1
fi
echo "names follow the conventions in $(wc -l <"$scratch/files") files and the headers they include"
