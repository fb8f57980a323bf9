#!/usr/bin/env bash
# The audio layer's state is owned: every global of platform/ and audio/ is static to the file
# that writes it, except the two the show shares (audio/music.h), each written in its own file.
set -euo pipefail
source "$(dirname "$0")/../support/shell/checks.sh"
cd "$vl_repository_root"

# a global is a line at file scope (no indent) that names a g_ variable without a bracket or
# paren before it (not a function), and is not static
shared=$(grep -nE '^[A-Za-z].*\bg_[a-z0-9_]+\b' platform/*.cpp platform/*.h audio/*.cpp audio/*.h |
    grep -vE '^[^:]+:[0-9]+:(static|#|//)' | grep -vE '^[^:]+:[0-9]+:[^(]*\(' || true)
want=$(printf '%s\n' 'audio/music.h:extern DWORD g_music;' 'audio/music.h:extern float g_spectrum[512];' \
    'audio/soundtrack.cpp:DWORD g_music = 0;' 'audio/spectrum.cpp:float g_spectrum[512] = {};')
got=$(echo "$shared" | sed -E 's/^([^:]+):[0-9]+:([^/]*[^ /]) *(\/\/.*)?$/\1:\2/' | sort)
[ "$got" = "$want" ] || fail "globals shared beyond their file:"$'\n'"$got"$'\n'"(only the show's g_music and g_spectrum may be)"

# the stream handle is set by start_music alone
others=$(grep -nE '\bg_music\s*=[^=]' platform/*.cpp audio/*.cpp | grep -v '^audio/soundtrack.cpp:' || true)
[ -z "$others" ] || fail "g_music written outside audio/soundtrack.cpp: $others"
echo "ok: every global of the audio layer is written by its own file"
