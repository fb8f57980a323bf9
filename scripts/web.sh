#!/usr/bin/env bash
# Builds the show for a browser into build-web/: our index.html and page.js, vellamor.js/.wasm,
# the still program the tests use, and a copy of data/. Installs what it needs with apt-get
# (Debian's emscripten, Chromium for the tests) and, once, builds mpg123 and kissfft for the web
# from Debian's source packages into build-web/deps/. With --serve [PORT] it then serves the page
# on 127.0.0.1 (default port 8000) until Ctrl-C.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-web"
deps="$out/deps"

serve=false
port=8000
while [ $# -gt 0 ]; do
    case "$1" in
        --serve)
            serve=true
            if [ $# -gt 1 ] && [[ "$2" =~ ^[0-9]+$ ]]; then port=$2; shift; fi
            shift ;;
        -h|--help)
            sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
            exit 0 ;;
        *) echo "web.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
    esac
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

"$root/scripts/install-packages.sh" emscripten chromium python3 cmake make dpkg-dev

# emcc runs its JavaScript tools with the node on PATH, which may not be Debian's: let it see
# Debian's node modules (acorn and the rest)
for modules in /usr/share/nodejs /usr/lib/nodejs; do
    [ -d "$modules" ] && export NODE_PATH="$modules${NODE_PATH:+:$NODE_PATH}"
done

# The Debian archive's source lines, beside its package lines, when none are there yet.
add_source_lines() {
    apt-cache showsrc mpg123 kissfft 2>/dev/null | grep -q '^Package: kissfft' && return
    local list=/etc/apt/sources.list.d/vellamor-deb-src
    if [ -f /etc/apt/sources.list ] && grep -q '^deb .*debian' /etc/apt/sources.list; then
        grep '^deb .*debian' /etc/apt/sources.list | sed 's/^deb /deb-src /' | "${sudo_cmd[@]}" tee "$list.list" >/dev/null
    fi
    local sources
    for sources in /etc/apt/sources.list.d/*.sources; do
        [ -f "$sources" ] && [ "$sources" != "$list.sources" ] || continue
        # the stanzas of the Debian archive, as source stanzas
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /URIs:[^\n]*debian/ && /Types:[^\n]*deb/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$sources"
    done | "${sudo_cmd[@]}" tee "$list.sources" >/dev/null
    [ -s "$list.sources" ] || "${sudo_cmd[@]}" rm -f "$list.sources"
    "${sudo_cmd[@]}" apt-get update -qq
}

# mpg123 and kissfft from Debian's source packages, built for the web (no port Emscripten
# would download by itself: those fail here, and would hide what we ship).
build_deps() {
    add_source_lines
    local src="$deps/src"
    rm -rf "$src"
    mkdir -p "$src"
    cd "$src"
    # the archive may lack a signature file the source description names: what matters is the
    # tarballs, which apt checks against the description's checksums
    apt-get source --download-only -qq mpg123 kissfft || true
    ls mpg123_*.dsc kissfft_*.dsc >/dev/null
    for dsc in mpg123_*.dsc kissfft_*.dsc; do dpkg-source --no-check -x "$dsc"; done

    echo "web.sh: building mpg123 for the web (its configure takes a few minutes)" >&3
    cd "$src"/mpg123-*/
    # i686: a 32-bit target like wasm32, and a cross build, so configure runs no test program
    emconfigure ./configure -q --host=i686-pc-linux-gnu --prefix="$deps" --disable-shared --enable-static \
        --with-cpu=generic_fpu --disable-modules --enable-network=no --with-audio=dummy \
        --with-default-audio=dummy --disable-dependency-tracking CFLAGS=-O2
    emmake make -s -j"$(nproc)" src/libmpg123/libmpg123.la
    emmake make -s lib_LTLIBRARIES=src/libmpg123/libmpg123.la pkgconfig_DATA=libmpg123.pc \
        install-libLTLIBRARIES install-includeHEADERS install-nodist_includeHEADERS install-pkgconfigDATA

    echo "web.sh: building kissfft for the web" >&3
    cd "$src"/kissfft-*/
    emcmake cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKISSFFT_STATIC=ON -DKISSFFT_TEST=OFF \
        -DKISSFFT_TOOLS=OFF -DKISSFFT_DATATYPE=float -DCMAKE_INSTALL_PREFIX="$deps"
    cmake --build build -j"$(nproc)"
    cmake --install build
    cd "$root"
}

# what the libraries' builds say goes to a log, shown when they fail
if [ ! -f "$deps/lib/libmpg123.a" ] || [ ! -f "$deps/lib/libkissfft-float.a" ]; then
    mkdir -p "$deps"
    log="$deps/build.log"
    # in the background, so that errexit holds inside it (a tested command would turn it off)
    build_deps 3>&1 >"$log" 2>&1 &
    if ! wait $!; then
        tail -n 40 "$log" >&2
        echo "web.sh: building mpg123 and kissfft for the web failed (all of it in $log)" >&2
        exit 1
    fi
fi

emcmake cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=Release -DVL_WEB_DEPS="$deps" >/dev/null
cmake --build "$out" -j"$(nproc)"

if $serve; then
    echo "web.sh: the show is at http://127.0.0.1:$port/ (Ctrl-C stops serving)"
    cd "$out"
    exec python3 -m http.server --bind 127.0.0.1 "$port"
fi
