#!/usr/bin/env bash
# The guide check fails on each kind of stale name it is there to catch, naming it, and passes a
# guide whose names all exist: without this, a check that never fails would let
# layout.guide_names_exist pass for nothing. Run against the real tree and build.
# Usage: guide_check_test.sh path/to/guide_names.sh --root SRC --build BUILD --targets LIST
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
check=${1:?usage: guide_check_test.sh path/to/guide_names.sh OPTIONS...}
shift
make_work_dir work

# A guide made of the lines given, one a line.
guide() { printf '%s\n' "$@" >"$work/guide.md"; }
run() { local status=0; bash "$check" "$@" "$work/guide.md" >"$work/out" 2>&1 || status=$?; echo "$status"; }

# expect_stale WHAT NAME LINE...: the check exits 1 and its report names NAME.
expect_stale() {
    local what=$1 name=$2; shift 2
    guide "$@"
    local status
    status=$(run "${opts[@]}")
    if [ "$status" -ne 1 ]; then cat "$work/out" >&2; check_failed "$what: exit status $status, not 1"; return; fi
    grep -qF -- "$name" "$work/out" || { cat "$work/out" >&2; check_failed "$what: $name not named"; return; }
    echo "ok: $what"
}
opts=("$@")

# every kind of name, each one that exists
good=(
    'The times are in `show/show_times.h`; the tests of the tree in `tests/layout/`.'
    '```sh'
    'cmake --build build -j2 --target bake_mesh vl_show'
    'build/tools/mesh/bake_mesh --keep-scale --layout assets/scene_mesh_layout.h <model>.obj assets/scene_mesh.bin'
    'cd build && xvfb-run -a ctest -R '"'"'^layout\.'"'"' --output-on-failure'
    '```'
    'Then `bake_mesh --quiet` says nothing; `layout.no_include_cycle` and `timeline.window_table` pass.'
    'Commands not ours are not read: `git worktree add --detach /tmp/x`.'
)
guide "${good[@]}"
status=$(run "${opts[@]}")
[ "$status" -eq 0 ] || { cat "$work/out" >&2; fail "a guide whose names all exist was refused (status $status)"; }
grep -q '^ok: 1[0-9] names checked' "$work/out" || { cat "$work/out" >&2; fail "the good guide's names were not all read"; }
echo "ok: a guide whose names exist passes"

expect_stale "a repository file that is gone" show/show_tiems.h 'Edit `show/show_tiems.h`.'
expect_stale "a folder that is gone" tests/loyout/ 'Add a case in `tests/loyout/`.'
expect_stale "a glob that matches nothing" 'tests/timeline/*.py' 'Read `tests/timeline/*.py`.'
expect_stale "a program the build does not make" build/tools/mesh/bake_meshes \
    '```' 'build/tools/mesh/bake_meshes model.obj out.bin' '```'
expect_stale "a program in the wrong folder" build/bake_mesh 'Run `build/bake_mesh model.obj out.bin`.'
expect_stale "an option the tool does not have" --keep-scales \
    '```' 'build/tools/mesh/bake_mesh --keep-scales model.obj out.bin' '```'
expect_stale "an option of a tool named by its target" --sheets 'Run `pictures --sheets x`.'
expect_stale "an option with no program" --keep-scale 'Pass `--keep-scale` to keep it.'
expect_stale "an option given to the show" "the show reads no command line" 'Run `build/vellamor --fullscreen`.'
expect_stale "a cmake option that is gone" --targets '`cmake --build build --targets bake_mesh`'
expect_stale "a build target that is gone" no_such_target '`cmake --build build --target bake_mesh no_such_target`'
expect_stale "a ctest pattern that selects nothing" '^nosuch\.' \
    '```' 'ctest -R '"'"'^nosuch\.'"'"' --output-on-failure' '```'
expect_stale "a ctest case that is gone" layout.no_such_case 'The case `layout.no_such_case` fails.'
expect_stale "a guide with nothing to check" "names nothing" 'Plain words only, no code.'

checks_done "the guide check finds every kind of stale name"
