# Shell-test keys: holds a key down on the focused window (XTEST) and lets it go at exit at the latest.

[ -n "${VL_KEYS_SOURCED:-}" ] && return 0
VL_KEYS_SOURCED=1
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"

xshow_keys_down=()
xshow_release_keys() {
    local k
    for k in "${xshow_keys_down[@]}"; do xdotool keyup "$k" 2>/dev/null || true; done
}
at_exit xshow_release_keys

# Holds a key down until xshow_key_up or the end of the test.
xshow_key_down() {
    xdotool keydown "$1"
    xshow_keys_down+=("$1")
}

xshow_key_up() {
    xdotool keyup "$1"
}
