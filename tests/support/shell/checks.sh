# Shell-test basics: failing with a message, checks that count failures and report them together,
# clean-up steps run at exit, a scratch folder removed at exit, and where things are in the
# repository (repository.sh). Source it from bash.
#
#     source "$(dirname "$0")/../support/shell/checks.sh"
#     cd "$vl_repository_root"           # the repository's root folder
#     make_work_dir work                 # $work: a fresh folder, removed at exit
#     [ -s "$work/out" ] || fail "no output"          # stops the test
#     [ "$n" -eq 3 ] || check_failed "n is $n, not 3" # goes on, fails at checks_done
#     checks_done "all checks passed"

[ -n "${VL_CHECKS_SOURCED:-}" ] && return 0
VL_CHECKS_SOURCED=1

# the repository's root and the soundtrack's file: $vl_repository_root, $vl_soundtrack_file
source "$(dirname "${BASH_SOURCE[0]}")/repository.sh"

vl_exit_steps=()     # commands run at exit, last registered first
vl_fail_context=()   # functions that print what a failing test should show (a process's stderr)
vl_failed_checks=0

vl_run_exit_steps() {
    local i
    for ((i = ${#vl_exit_steps[@]} - 1; i >= 0; --i)); do eval "${vl_exit_steps[$i]}" || true; done
}
trap vl_run_exit_steps EXIT

# Runs a command (a string, evaluated) when the test exits, whatever the way.
at_exit() {
    vl_exit_steps+=("$1")
}

# Stops the test: the message, then whatever the sourced helpers know about it, status 1.
fail() {
    echo "FAIL: $*" >&2
    local context
    for context in "${vl_fail_context[@]}"; do "$context" >&2 || true; done
    exit 1
}

# Records a failed check and goes on, so a run reports every fault it finds.
check_failed() {
    echo "FAIL: $*" >&2
    vl_failed_checks=$((vl_failed_checks + 1))
}

# Ends the checks: status 1 if any failed, else prints the message.
checks_done() {
    if [ "$vl_failed_checks" -ne 0 ]; then
        echo "$vl_failed_checks check(s) failed" >&2
        exit 1
    fi
    [ -z "${1:-}" ] || echo "$1"
}

# Sets the variable named $1 to a fresh folder under the system's temporary directory, removed at exit.
make_work_dir() {
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/vl-test-XXXXXX") || fail "cannot make a scratch folder"
    printf -v "$1" '%s' "$dir"
    at_exit "rm -rf '$dir'"
}
