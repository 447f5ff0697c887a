# Shared set-up for ./test and ./run: packages, builds, a display and a Wine prefix.
# Sourced, not run.

SNIPORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${SNIPORA_BUILD_ROOT:-$SNIPORA_ROOT/build}
JOBS=${JOBS:-$(nproc)}

log() { printf '==> %s\n' "$*" >&2; }

# Debian's packages that the builds, the packages and the test runs need. The CJK font is for
# Wine, which finds fonts through fontconfig: without one, Chinese and Japanese show as boxes.
snipora_packages() {
    echo cmake make g++ clang libclang-rt-14-dev googletest \
        g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 \
        binutils-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick \
        python3 nsis zip fonts-wqy-microhei
}

ensure_packages() {
    local missing=()
    for p in $(snipora_packages); do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >"$BUILD_ROOT/apt.log" 2>&1 || {
        tail -n 30 "$BUILD_ROOT/apt.log" >&2
        return 1
    }
}

# configure_and_build NAME [cmake args...]
configure_and_build() {
    local name=$1
    shift
    local dir="$BUILD_ROOT/$name"
    log "Building $name"
    cmake -S "$SNIPORA_ROOT" -B "$dir" "$@" >"$BUILD_ROOT/$name.configure.log" 2>&1 || {
        cat "$BUILD_ROOT/$name.configure.log" >&2
        return 1
    }
    cmake --build "$dir" -j "$JOBS" >"$BUILD_ROOT/$name.build.log" 2>&1 || {
        grep -E 'error|Error' -A5 "$BUILD_ROOT/$name.build.log" | head -n 80 >&2
        return 1
    }
}

build_native() {
    configure_and_build native -DCMAKE_BUILD_TYPE=Debug -DSNIPORA_SANITIZE=ON -DSNIPORA_CHECK_INVARIANTS=ON
}

build_windows() {  # i686 | x86_64
    configure_and_build "$1" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$SNIPORA_ROOT/cmake/toolchain-$1-mingw.cmake"
}

STARTED_XVFB_PID=""

# Uses $DISPLAY when set, or starts a virtual display that stop_display ends.
start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$BUILD_ROOT/xvfb.log" 2>&1 &
        STARTED_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && { log "Virtual display $DISPLAY"; return 0; }
            sleep 0.1
        done
        kill "$STARTED_XVFB_PID" 2>/dev/null
        STARTED_XVFB_PID=""
    done
    log "Cannot start a virtual display"
    return 1
}

stop_display() {
    if [ -n "$STARTED_XVFB_PID" ]; then
        kill "$STARTED_XVFB_PID" 2>/dev/null || true
        wait "$STARTED_XVFB_PID" 2>/dev/null || true
        STARTED_XVFB_PID=""
    fi
}

# One Wine prefix per build tree; its services start here, before any test reads a pipe.
prepare_wine() {
    export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wineprefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEARCH=win64
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # A prefix whose creation was cut short is made again from scratch.
    if [ ! -f "$WINEPREFIX/.snipora-ready" ]; then
        log "Creating the Wine prefix $WINEPREFIX"
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        wineboot -i >"$BUILD_ROOT/wineboot.log" 2>&1 </dev/null || true
        wineserver -w >/dev/null 2>&1 || true
        [ -f "$WINEPREFIX/system.reg" ] && touch "$WINEPREFIX/.snipora-ready"
    fi
    # Chinese and Japanese text in the program's fonts is drawn from the CJK font through font
    # linking, as on Windows; Wine's own fonts have no such glyphs.
    if [ ! -f "$WINEPREFIX/.snipora-cjk" ]; then
        local face
        for face in Tahoma Arial "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif"; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f \
                >/dev/null 2>&1 </dev/null || return 1
        done
        touch "$WINEPREFIX/.snipora-cjk"
    fi
    wineserver -p >/dev/null 2>&1 </dev/null || true  # already running is fine
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
}
