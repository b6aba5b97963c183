# Sourced: the Windows runtime that every Windows program of the project runs in.
#
# A Debian 13 root with Wine 10 (which runs 32-bit programs through its WoW64 mode, with no
# 32-bit Linux libraries), Xvfb, ImageMagick, e2fsprogs and a Japanese font. It is made once per
# machine, outside any clone, and reused:
#   WGCONF_RUNTIME   where it lives (default /var/lib/wgconf/wine10-root)
#   runtime_ensure   checks it and builds or repairs what is missing
#   runtime_check    0 when it is complete

WGCONF_RUNTIME=${WGCONF_RUNTIME:-/var/lib/wgconf/wine10-root}
_runtime_packages="wine wine64 fonts-wine xvfb xauth imagemagick fonts-ipafont-gothic e2fsprogs"

_runtime_sudo() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The Debian mirror that this machine's own apt sources name.
_runtime_mirror() {
    local uri
    uri=$(grep -rhoE '(URIs:|^deb)[[:space:]]+https?://[^[:space:]]+/debian/?([[:space:]]|$)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null |
        grep -oE 'https?://[^[:space:]]+' | grep -v -- '-security' | head -n1)
    echo "${uri:-http://deb.debian.org/debian}"
}

runtime_check() {
    local root=$WGCONF_RUNTIME
    # Inside the root, where the alternatives' links resolve.
    [ -f "$root/.wgconf-runtime" ] && _runtime_sudo chroot "$root" /bin/sh -c '
        for program in wine wineserver Xvfb import convert chattr; do
            [ -x "$(command -v $program)" ] || exit 1
        done
        [ -f /usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf ] && [ -f /usr/share/wine/fonts/marlett.ttf ] &&
            [ -f /usr/lib/x86_64-linux-gnu/wine/i386-windows/kernel32.dll ] &&
            [ -f /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll ]' 2>/dev/null
}

_runtime_chroot() {
    _runtime_sudo env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive \
        chroot "$WGCONF_RUNTIME" "$@"
}

_runtime_build() {
    local root=$WGCONF_RUNTIME
    if [ ! -x "$root/usr/bin/apt-get" ]; then
        echo "Making the Windows runtime in $root (Debian 13 with Wine 10; a few minutes, about 2 GB)"
        _runtime_sudo rm -rf "$root.tmp"
        _runtime_sudo mkdir -p "$(dirname "$root")"
        _runtime_sudo debootstrap --variant=minbase trixie "$root.tmp" "$(_runtime_mirror)" >/dev/null ||
            { echo "debootstrap failed" >&2; return 1; }
        _runtime_sudo rm -rf "$root"
        _runtime_sudo mv "$root.tmp" "$root"
    else
        echo "Repairing the Windows runtime in $root"
    fi
    _runtime_sudo cp -f /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
    _runtime_chroot dpkg --add-architecture i386 &&
        _runtime_chroot apt-get update -qq &&
        _runtime_chroot apt-get install -y -qq --no-install-recommends $_runtime_packages >/dev/null ||
        { echo "cannot install Wine into the runtime" >&2; return 1; }
    # The 64-bit Wine package leaves the 32-bit Windows-side DLLs out; they come from libwine:i386,
    # of which nothing else is needed.
    if [ ! -f "$root/usr/lib/x86_64-linux-gnu/wine/i386-windows/kernel32.dll" ]; then
        _runtime_chroot bash -c 'rm -rf /var/tmp/libwine && mkdir -p /var/tmp/libwine && cd /var/tmp/libwine &&
            apt-get download -qq libwine:i386 && dpkg -x libwine_*_i386.deb x &&
            cp -a x/usr/lib/i386-linux-gnu/wine/i386-windows/. /usr/lib/x86_64-linux-gnu/wine/i386-windows/ &&
            cd / && rm -rf /var/tmp/libwine' ||
            { echo "cannot add the 32-bit Windows-side DLLs to the runtime" >&2; return 1; }
    fi
    _runtime_chroot apt-get clean
    _runtime_sudo touch "$root/.wgconf-runtime"
    runtime_check
}

runtime_ensure() {
    runtime_check && return 0
    _runtime_sudo mkdir -p "$(dirname "$WGCONF_RUNTIME")"
    (
        flock 7
        runtime_check || _runtime_build
    ) 7>"$(dirname "$WGCONF_RUNTIME")/.wgconf-runtime.lock"
}

# 0 when Wine runs 32-bit programs here, in its WoW64 mode. Some virtual machines cannot run
# 32-bit code at all; the only answer that counts is Wine's own, so a small 32-bit program is
# built with the i686 cross compiler and run through the runtime, in BUILD_DIR's prefix; it
# must end with its own exit code (Wine's start failure is 1). Asked anew at every call.
#   runtime_runs_32bit BUILD_DIR [EXIT_CODE]   EXIT_CODE: what the program exits with (42)
runtime_runs_32bit() {
    local build=$1 code=${2:-42} scripts probe status
    scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    mkdir -p "$build" || return 1
    probe="$build/wow64-probe.exe"
    i686-w64-mingw32-gcc -O2 -s -DPROBE_EXIT_CODE="$code" "$scripts/wow64-probe.c" -o "$probe" || return 1
    WGCONF_HEADLESS=1 bash "$scripts/wine-exec.sh" "$build" "$probe" >/dev/null 2>&1
    status=$?
    rm -f "$probe"
    [ "$status" = 42 ]
}
