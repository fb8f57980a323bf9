#!/usr/bin/env bash
# Checks that every name a guide gives still exists: repository paths, built programs and their
# options, build targets, and ctest cases and patterns. A renamed file, target, option or test
# makes the guide that names it fail here, so the guide is changed with the code.
#
# What is read: each line of a fenced code block, and each `inline code` span elsewhere. In them:
#   - a word whose first folder is one at the repository's root (show/..., tests/layout/) must
#     exist there (a glob must match something);
#   - a word build/... must be the program of an executable target, where the build puts it;
#   - an --option belongs to the program named before it in the same line or span (a program
#     under build/, an executable target's name at the start of a command, cmake, ctest, or a
#     script of the repository, shell or Python) and must appear in that program's --help; an option with no
#     program before it is an error; commands that are not ours (git, ffmpeg) are not checked;
#   - the words after cmake's --target must be targets of the build;
#   - the pattern after ctest's -R or -E must select at least one case (ctest -N);
#   - a span that is one word <area>.<case>, where <area> is a folder of tests/, must be a
#     registered case, or the start of some (a suite: timeline.window_table).
# Words holding < or > are placeholders for names the reader makes (data/<File>.jpg): skipped.
#
# Usage: guide_names.sh --root SRC --build BUILD --targets LIST GUIDE.md...
#   LIST: one target a line, "name<TAB>program path" (the path empty for a non-program), as
#   tests/layout/CMakeLists.txt writes it.
set -euo pipefail

usage() { echo "usage: guide_names.sh --root SRC --build BUILD --targets LIST GUIDE.md..."; }
root='' build='' targets=''
while [ $# -gt 0 ]; do
    case $1 in
        --root) root=${2:?}; shift 2 ;;
        --build) build=${2:?}; shift 2 ;;
        --targets) targets=${2:?}; shift 2 ;;
        -h|--help) usage; exit 0 ;;
        -*) echo "guide_names.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
        *) break ;;
    esac
done
[ -n "$root" ] && [ -n "$build" ] && [ -n "$targets" ] && [ $# -ge 1 ] || { usage >&2; exit 2; }
for f in "$root" "$build"; do [ -d "$f" ] || { echo "guide_names.sh: no folder $f" >&2; exit 2; }; done
[ -f "$targets" ] || { echo "guide_names.sh: no target list $targets" >&2; exit 2; }
root=$(cd "$root" && pwd) build=$(cd "$build" && pwd)  # the target list holds absolute paths

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# the registered cases, once
(cd "$build" && ctest -N) | sed -n 's/^ *Test *#[0-9]*: //p' >"$scratch/cases"
[ -s "$scratch/cases" ] || { echo "guide_names.sh: ctest -N lists no cases in $build" >&2; exit 2; }

# program paths relative to the build folder, and the names of executable targets
while IFS=$'\t' read -r name file; do
    [ -n "$file" ] || continue
    printf '%s\t%s\n' "${file#"$build"/}" "$name"
done <"$targets" >"$scratch/programs"
cut -f2 "$scratch/programs" >"$scratch/program_names"
cut -f1 "$targets" >"$scratch/target_names"
test_areas=$(cd "$root/tests" && for d in */; do printf '%s\n' "${d%/}"; done)
root_entries=$(cd "$root" && ls -A | grep -v -x -e 'build.*' -e .git)  # build folders are not the repository's

problems=0 checked=0
problem() { echo "$where: $*" >&2; problems=$((problems + 1)); }
is_line_in() { grep -qxF -- "$1" "$2"; }

# The --help text of a program (a path under build/, "cmake", "ctest" or a repository script),
# kept in a file named after it; prints that file's name.
help_of() {
    local key file
    key=$(printf '%s' "$1" | tr '/ ' '__')
    file="$scratch/help.$key"
    if [ ! -f "$file" ]; then
        case $1 in
            cmake) { cmake --help; cmake --build 2>&1; cmake --install 2>&1; } >"$file" 2>&1 || true ;;
            ctest) ctest --help >"$file" 2>&1 || true ;;
            build/*) timeout 30 "$build/${1#build/}" --help >"$file" 2>&1 || true ;;
            *.py) timeout 30 python3 "$root/$1" --help >"$file" 2>&1 || true ;;
            *) timeout 30 bash "$root/$1" --help >"$file" 2>&1 || true ;;
        esac
    fi
    printf '%s' "$file"
}

check_option() {  # $1 option (no value), $2 program or "" or "-" for one not ours
    local program=$2
    case $program in
        -) return ;;
        '') problem "$1 is named with no program before it (write it after its program)"; return ;;
        build/vellamor) problem "$1: the show reads no command line"; return ;;
    esac
    checked=$((checked + 1))
    grep -qE -- "(^|[^A-Za-z0-9-])$1([^A-Za-z0-9-]|\$)" "$(help_of "$program")" ||
        problem "$program --help does not list $1"
}

check_path() {
    local path=${1%/}
    checked=$((checked + 1))
    if [[ $path == *[*?]* ]]; then
        compgen -G "$root/$path" >/dev/null || problem "$1 matches nothing in the repository"
    else
        [ -e "$root/$path" ] || problem "$1 does not exist in the repository"
    fi
}

check_span() {  # $1 the text of one code line or inline span
    local -a words
    read -r -a words <<<"$1" || true
    [ ${#words[@]} -gt 0 ] || return 0

    # a lone test name
    if [ ${#words[@]} -eq 1 ] && [[ ${words[0]} =~ ^([a-z_]+)\.([A-Za-z0-9_.]+)$ ]] &&
        printf '%s\n' "$test_areas" | grep -qxF "${BASH_REMATCH[1]}"; then
        checked=$((checked + 1))
        is_line_in "${words[0]}" "$scratch/cases" || grep -qF -- "${words[0]}." "$scratch/cases" ||
            problem "no ctest case is named ${words[0]} or starts with it"
        return
    fi

    local program='' at_command=1 after='' w bare
    for w in "${words[@]}"; do
        case $w in *'<'*|*'>'*) at_command=0; after=''; continue ;; esac
        if [ "$after" = pattern ]; then
            after=''
            bare=${w#[\'\"]}; bare=${bare%[\'\"]}
            checked=$((checked + 1))
            local total
            total=$(cd "$build" && ctest -N -R "$bare" | sed -n 's/^Total Tests: //p')
            [ "${total:-0}" -gt 0 ] || problem "ctest -R '$bare' selects no case"
            continue
        fi
        w=${w#\(}; w=${w%[,;:.)]}; w=${w#./}
        case $w in '&&'|'||'|'|'|';') at_command=1; after=''; program=''; continue ;; esac

        if [[ $w == --* ]]; then
            after=''
            check_option "${w%%=*}" "$program"
            [ "$program" = cmake ] && [ "$w" = --target ] && after=target
            [ "$program" = ctest ] && [ "$w" = --tests-regex ] && after=pattern
            continue
        fi
        if [ "$program" = ctest ] && [[ $w == -R || $w == -E ]]; then after=pattern; continue; fi
        if [ "$after" = target ]; then
            checked=$((checked + 1))
            is_line_in "$w" "$scratch/target_names" || problem "cmake --target $w: no such target"
            continue
        fi

        if [[ $w == build/* ]]; then
            checked=$((checked + 1))
            is_line_in "${w#build/}" <(cut -f1 "$scratch/programs") ||
                problem "$w is not where the build puts any program"
            program=$w at_command=0
            continue
        fi
        if [[ $w == */* ]] && printf '%s\n' "$root_entries" | grep -qxF "${w%%/*}"; then
            check_path "$w"
            [[ $w == *.sh || $w == *.py ]] && program=$w
            at_command=0
            continue
        fi
        if [ "$w" = cmake ] || [ "$w" = ctest ]; then program=$w at_command=0; continue; fi
        if [ "$at_command" = 1 ]; then
            [[ $w =~ ^[A-Z_]+= || $w == sudo ]] && continue  # environment settings before a command
            if is_line_in "$w" "$scratch/program_names"; then
                program=build/$(awk -F'\t' -v n="$w" '$2 == n { print $1; exit }' "$scratch/programs")
            else
                program=-
            fi
            at_command=0
        fi
    done
}

for guide in "$@"; do
    [ -f "$guide" ] || { echo "guide_names.sh: no guide $guide" >&2; exit 2; }
    # "line<TAB>span": every line of a fenced block, every inline span outside them
    awk '/^ *```/ { fenced = !fenced; next }
         fenced { printf "%d\t%s\n", NR, $0; next }
         { line = $0
           while (match(line, /`[^`]+`/)) {
               printf "%d\t%s\n", NR, substr(line, RSTART + 1, RLENGTH - 2)
               line = substr(line, RSTART + RLENGTH)
           } }' "$guide" >"$scratch/spans"
    while IFS=$'\t' read -r line span; do
        where="$(basename "$guide"):$line"
        check_span "$span"
    done <"$scratch/spans"
done

if [ "$problems" -ne 0 ]; then
    echo "guide_names.sh: $problems name(s) no longer exist" >&2
    exit 1
fi
[ "$checked" -gt 0 ] || { echo "guide_names.sh: the guide names nothing this check can read" >&2; exit 1; }
echo "ok: $checked names checked"
