#!/usr/bin/env bash
# Photographs the configuration dialog: scripts/screenshots.sh [BUILD_DIR] [DPI]
# Lays out a demo installation from BUILD_DIR/bin (default build/i686, the product), opens each
# of the four tabs in English and in Japanese on a virtual display, and writes
# docs/screenshots/{en,ja}-{graphic,input,sound,information}.png, cropped to the dialog.
# With DPI (say 144 or 192), the display runs at that setting for the caller, which declares
# no DPI awareness, and the pictures are dpiDPI-{en,ja}-*.png; the prefix's own setting comes
# back on every exit, an interrupted run's included.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
dpi=${2:-}
if [ ! -d "$build/bin" ] || ! [[ "$dpi" =~ ^[0-9]*$ ]]; then
    echo "usage: scripts/screenshots.sh [BUILD_DIR] [DPI]   (no $build/bin, or not a number)" >&2
    exit 2
fi
name_prefix=${dpi:+dpi$dpi-}
build=$(cd "$build" && pwd)
out="$root/docs/screenshots"
mkdir -p "$out"
source "$root/scripts/demo-layout.sh"
demo="$build/screenshots-demo"
status=0

for language in 0 1; do
    prefix=$([ "$language" = 0 ] && echo en || echo ja)
    rm -rf "$demo"
    demo_layout "$build/bin" "$demo" "$language" || { echo "cannot lay out the demo installation" >&2; exit 1; }
    # A joystick chosen earlier, so that the Input page shows a name.
    mkdir -p "$demo/Save/JoyStickUser"
    printf '[JOYSTICK]\r\nname=Wingmere Flight Stick\r\n' >"$demo/Save/JoyStickUser/SelectJoyStick.ini"
    WGCONF_HEADLESS=1 bash "$root/scripts/wine-exec.sh" "$build" --shell "
        source '$root/scripts/screenshot-lib.sh'
        source '$root/scripts/logpixels.sh'
        cd '$demo/Wingmere' || exit 1
        status=0
        if [ -n '$dpi' ]; then
            logpixels_keep
            logpixels_set '$dpi' || exit 1
        fi
        tabs=(graphic input sound information)
        for index in 0 1 2 3; do
            photograph_dialog '$out/$name_prefix$prefix-'\"\${tabs[\$index]}\".png \$index '$demo/ready.txt' || status=1
        done
        exit \$status" || status=1
done

rm -rf "$demo"
[ $status = 0 ] && echo "Screenshots written to $out"
exit $status
