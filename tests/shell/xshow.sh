# Forwards to the shared shell-test helpers in tests/support/shell/, for scripts written before
# they moved there; new scripts source tests/support/shell/show.sh themselves.
source "$(dirname "${BASH_SOURCE[0]}")/../support/shell/show.sh"
