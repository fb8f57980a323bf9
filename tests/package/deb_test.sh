#!/usr/bin/env bash
# The Debian package from `cpack -G DEB`: it declares a dependency for every library the
# program loads, holds the program, every data file, the launcher and the menu entry, and,
# unpacked into a scratch root, its launcher started from an unrelated folder plays the whole
# show with silent audio and ends by itself with status 0. The quick form, "install", puts the
# same tree in place with `cmake --install` (no package, so no dependencies to check) and stops
# the show once its clock has passed a second, with no error box.
# Usage: deb_test.sh deb|install
set -euo pipefail
source "$(dirname "$0")/../support/shell/show.sh"
build=${VELLAMOR_BUILD:?set VELLAMOR_BUILD to the build folder}
mode=${1:-}
[ "$mode" = deb ] || [ "$mode" = install ] || { echo "usage: deb_test.sh deb|install" >&2; exit 2; }

work="$XSHOW_TMP/package"
mkdir -p "$work/root" "$work/elsewhere"
launcher="$work/root/usr/bin/vellamor"
program="$work/root/usr/lib/vellamor/vellamor"

# The package from cpack, unpacked into the scratch root; $depends and $declared: what it
# declares it needs.
unpack_deb() {
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack could not build the package"; }
    debs=("$work"/vellamor_*.deb)
    [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single vellamor_*.deb: ${debs[*]}"
    deb=${debs[0]}
    dpkg-deb -I "$deb"
    depends=$(dpkg-deb -f "$deb" Depends)
    declared=" $(echo "$depends" | sed 's/([^)]*)//g; s/[,|]/ /g' | tr -s ' ') "

    dpkg-deb -x "$deb" "$work/root"
}

# Every shared library the program names is held, on this machine, by a package that Depends
# names, itself or through a name it provides; so is SDL2, which the error box opens at run time.
check_declared_libraries() {
    libraries=$(ldd "$program")
    needed=$(readelf -d "$program" | sed -n 's/.*Shared library: \[\(.*\)\]$/\1/p')
    [ -n "$needed" ] || fail "readelf found no libraries the program needs"
    for name in $needed; do
        path=$(echo "$libraries" | awk -v n="$name" '$1 == n && $2 == "=>" {print $3}')
        [ -n "$path" ] || fail "$name, which the program needs, is not found on this machine"
        # /lib is /usr/lib on a merged system, and dpkg knows a file by one of the two names
        owner=""
        for candidate in "$path" "/usr$path" "$(readlink -f "$path")"; do
            owner=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1) && break
        done
        [ -n "$owner" ] || fail "no package holds $path"
        names="$owner $(dpkg-query -W -f='${Provides}' "$owner" | sed 's/([^)]*)//g; s/,/ /g')"
        found=""
        for n in $names; do
            [[ $declared == *" $n "* ]] && found=$n
        done
        [ -n "$found" ] || fail "$name is from $owner ($names), which Depends does not name: $depends"
        echo "ok: $name from $owner, declared as $found"
    done
    [[ $declared == *" libsdl2-2.0-0 "* ]] || fail "Depends does not name libsdl2-2.0-0, for the error box"
}

if [ "$mode" = install ]; then
    cmake --install "$build" --prefix "$work/root/usr" >"$work/install.log" 2>&1 ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; }
else
    unpack_deb
fi
[ -x "$launcher" ] || fail "no launcher at usr/bin/vellamor"
[ -x "$program" ] || fail "no program at usr/lib/vellamor/vellamor"
[ "$mode" = install ] || check_declared_libraries

# the data folder holds exactly the repository's data files, and the menu starts the launcher
diff <(cd "$vl_repository_root/data" && ls) <(cd "$work/root/usr/share/vellamor/data" && ls) ||
    fail "the packaged data folder differs from data/"
desktop="$work/root/usr/share/applications/vellamor.desktop"
desktop-file-validate "$desktop" || fail "the menu entry is not a valid desktop entry"
grep -qx "Exec=vellamor" "$desktop" || fail "the menu entry does not start the launcher"

# the whole show from an empty folder: without the launcher's change of folder the pictures
# and the soundtrack would be missing, and the error boxes would stop it
VELLAMOR_BIN=$launcher
VELLAMOR_ROOT="$work/elsewhere"
xshow_start SDL_AUDIODRIVER=dummy
xshow_wait_window
if [ "$mode" = install ]; then
    # the soundtrack was found and plays: the show's clock passes a second
    give_up=$((SECONDS + 120)) caption=""
    until [[ $caption =~ Time:\ \ ([0-9]+)\.[0-9]{6}$ ]] && [ "${BASH_REMATCH[1]}" -ge 1 ]; do
        [ "$SECONDS" -lt "$give_up" ] || fail "the show's clock did not reach 1 s: '$caption'"
        [ -z "$(xshow_box_ids)" ] || fail "an error box appeared"
        sleep 0.5
        caption=$(xshow_caption 2>/dev/null || true)
    done
    xshow_stop TERM
    [ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
    [ "$(xshow_error_lines)" -eq 0 ] || fail "the show wrote ERROR lines"
    echo "PASS: the installed tree started from $VELLAMOR_ROOT and its clock ran: $caption"
    exit 0
fi
last=""
give_up=$((SECONDS + 400))
while xshow_running; do
    [ "$SECONDS" -lt "$give_up" ] || fail "the show still runs ${give_up}s in, at show time $last"
    [ -z "$(xshow_box_ids)" ] || fail "an error box appeared"
    caption=$(xshow_caption 2>/dev/null || true)
    [[ $caption =~ Time:\ \ ([0-9]+\.[0-9]{6})$ ]] && last=${BASH_REMATCH[1]}
    sleep 1
done
xshow_wait_exit
[ "$XSHOW_STATUS" -eq 0 ] || fail "the show ended with status $XSHOW_STATUS"
[ -n "$last" ] && awk -v t="$last" 'BEGIN { exit !(t >= 80) }' ||
    fail "the last caption read '$last', not the show's end near 83 s"
[ "$(xshow_error_lines)" -eq 0 ] || fail "the show wrote ERROR lines"
echo "PASS: the unpacked package played to $last s from $VELLAMOR_ROOT and ended with status 0"
