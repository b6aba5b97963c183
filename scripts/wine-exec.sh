#!/usr/bin/env bash
# Runs Windows programs of a build tree in the project's Windows runtime (scripts/runtime.sh):
#   scripts/wine-exec.sh BUILD_DIR PROGRAM [ARGS...]      wine PROGRAM ARGS
#   scripts/wine-exec.sh BUILD_DIR --shell 'COMMANDS'     bash -c COMMANDS, with wine at hand
# CTest uses the first form as the emulator of both builds.
#
# Each call runs in a private mount and PID namespace: the runtime gets /proc, /dev, /sys, a
# private /tmp and the source tree at its own path; Wine uses the build tree's prefix
# (BUILD_DIR/wineprefix, made on first use) and, without a display or with WGCONF_HEADLESS set,
# an Xvfb of its own. When the command ends, Wine and Xvfb are ended and the namespace goes
# with them: nothing stays mounted or running. Calls on one build tree take turns.
set -u

if [ "${1:-}" = --in-root ]; then
    # Second stage, inside the runtime.
    shift
    build=$1
    shift
    cd "${WGCONF_CWD:-/}" 2>/dev/null || cd /
    export HOME=/root XDG_RUNTIME_DIR=/tmp/xdg-runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    export WINEPREFIX="$build/wineprefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv="
    xvfb=
    if [ -z "${DISPLAY:-}" ]; then
        mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
        # Xvfb picks a free display itself: its abstract sockets are shared with every other
        # run on this machine, even though /tmp is private.
        Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 3>/tmp/xvfb-display &
        xvfb=$!
        for _ in $(seq 200); do [ -s /tmp/xvfb-display ] && break; sleep 0.05; done
        export DISPLAY=":$(head -n1 /tmp/xvfb-display)"
    fi
    if [ ! -f "$WINEPREFIX/.wgconf-ready" ]; then
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        # Wine draws frames and captions itself (there is no window manager), and the dialog
        # fonts fall back to a Japanese font for the Japanese captions.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        for font in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'MS UI Gothic'; do
            wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v "$font" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1
        done
        wineserver -w
        touch "$WINEPREFIX/.wgconf-ready"
    fi
    if [ "${1:-}" = --shell ]; then
        bash -c "$2"
    else
        wine "$@"
    fi
    status=$?
    # A clean end of the server writes the prefix's registry back.
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    exit $status
fi

if [ "${1:-}" = --in-namespace ]; then
    # First stage, in the new namespaces, before the runtime becomes the root.
    shift
    root=$1 build=$2
    shift 2
    rt=$WGCONF_RUNTIME
    mount --make-rprivate / &&
        mount -t proc proc "$rt/proc" &&
        mount --rbind /dev "$rt/dev" &&
        mount --rbind /sys "$rt/sys" &&
        mount -t tmpfs -o mode=1777 tmpfs "$rt/tmp" || exit 125
    for tree in "$root" "$build"; do
        case $tree in "$root"/*) continue ;; esac
        mkdir -p "$rt$tree" && mount --bind "$tree" "$rt$tree" || exit 125
    done
    keep=(PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin "WGCONF_CWD=$PWD")
    if [ -n "${DISPLAY:-}" ] && [ -z "${WGCONF_HEADLESS:-}" ]; then
        mkdir -p "$rt/tmp/.X11-unix" && mount --bind /tmp/.X11-unix "$rt/tmp/.X11-unix"
        keep+=("DISPLAY=$DISPLAY")
        if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
            cp "$XAUTHORITY" "$rt/tmp/.Xauthority" && keep+=(XAUTHORITY=/tmp/.Xauthority)
        fi
    fi
    while IFS= read -r var; do keep+=("$var"); done < <(env | grep -E '^(WGCONF_|GTEST_|WINEDEBUG=|LANG=|LC_ALL=|TERM=)')
    exec chroot "$rt" /usr/bin/env -i "${keep[@]}" bash "$root/scripts/wine-exec.sh" --in-root "$build" "$@"
fi

if [ $# -lt 2 ]; then
    echo "usage: scripts/wine-exec.sh BUILD_DIR PROGRAM [ARGS...] | BUILD_DIR --shell COMMANDS" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/runtime.sh"
runtime_ensure >&2 || exit 125
mkdir -p "$1" || exit 125
build=$(cd "$1" && pwd)
shift
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo --preserve-env)
export WGCONF_RUNTIME

# A Windows program talks to the wineserver in many small round trips (a dialog start-up makes
# about two thousand). On these virtual machines a round trip between two CPUs costs several
# times one on the same CPU, so the whole run stays on one CPU, chosen by the build tree so that
# two build trees run side by side. WGCONF_WINE_CPU=N picks CPU N, WGCONF_WINE_CPU=all lifts it.
pin=()
cpu=${WGCONF_WINE_CPU:-}
if [ "$cpu" != all ] && command -v taskset >/dev/null; then
    if [ -z "$cpu" ]; then
        allowed=()
        IFS=, read -ra ranges <<<"$(taskset -pc $$ 2>/dev/null | sed 's/.*: //')"
        for range in "${ranges[@]}"; do
            for ((c = ${range%-*}; c <= ${range#*-}; c++)); do allowed+=("$c"); done
        done
        if [ ${#allowed[@]} -gt 0 ]; then
            sum=$(printf %s "$build" | cksum)
            cpu=${allowed[$((${sum%% *} % ${#allowed[@]}))]}
        fi
    fi
    [ -n "$cpu" ] && pin=(taskset -c "$cpu")
fi
(
    flock 9
    "${sudo_cmd[@]}" "${pin[@]}" unshare --mount --pid --fork --kill-child \
        bash "$root/scripts/wine-exec.sh" --in-namespace "$root" "$build" "$@" 9>&-
) 9>"$build/.wine.lock"
