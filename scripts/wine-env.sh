# Sourced by the scripts that run Windows programs: a Wine prefix per build tree, prepared once,
# and an Xvfb display per build tree when no display is given.
#   wine_prepare BUILD_DIR   sets WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES and DISPLAY.
#   wine_shutdown BUILD_DIR  ends that tree's wineserver and Xvfb.

wine_prepare() {
    local build=$1
    mkdir -p "$build"
    build=$(cd "$build" && pwd)
    export WINEPREFIX="$build/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ -z "${DISPLAY:-}" ] || [ -n "${WGCONF_HEADLESS:-}" ]; then
        _wine_xvfb "$build"
    fi
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.wgconf-ready" ]; then
            wineboot -i >/dev/null 2>&1
            # Wine draws frames and captions itself (there is no window manager), and the
            # dialog fonts fall back to a Japanese font for the Japanese captions.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
            for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic'; do
                wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                    /v "$font" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
            done
            wineserver -w
            touch "$WINEPREFIX/.wgconf-ready"
        fi
    ) 9>"$build/.wine.lock"
}

_wine_xvfb() {
    local build=$1 number pid
    (
        flock 8
        if [ -f "$build/.xvfb" ]; then
            read -r number pid <"$build/.xvfb"
            if kill -0 "$pid" 2>/dev/null; then exit 0; fi
        fi
        number=91
        while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
        # The lock descriptor is closed for Xvfb, which would otherwise hold the lock for its life.
        setsid Xvfb ":$number" -screen 0 1600x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 8>&- &
        pid=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
        echo "$number $pid" >"$build/.xvfb"
    ) 8>"$build/.xvfb.lock"
    local number_pid
    read -r number_pid _ <"$build/.xvfb"
    export DISPLAY=":$number_pid"
}

wine_shutdown() {
    local build=$1 number pid
    WINEPREFIX="$build/wineprefix" wineserver -k >/dev/null 2>&1 || true
    if [ -f "$build/.xvfb" ]; then
        read -r number pid <"$build/.xvfb"
        kill "$pid" 2>/dev/null || true
        rm -f "$build/.xvfb"
    fi
}
