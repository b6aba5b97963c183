#!/usr/bin/env bash
# Photographs the configuration dialog: scripts/screenshots.sh [BUILD_DIR]
# Lays out a demo installation from BUILD_DIR/bin (default build/i686, the product), opens each
# of the four tabs in English and in Japanese on a virtual display, and writes
# docs/screenshots/{en,ja}-{graphic,input,sound,information}.png, cropped to the dialog.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/i686}
if [ ! -d "$build/bin" ]; then
    echo "usage: scripts/screenshots.sh [BUILD_DIR]   (no $build/bin)" >&2
    exit 2
fi
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
        cd '$demo/Wingmere' || exit 1
        status=0
        tabs=(graphic input sound information)
        for index in 0 1 2 3; do
            photograph_dialog '$out/$prefix-'\"\${tabs[\$index]}\".png \$index '$demo/ready.txt' || status=1
        done
        exit \$status" || status=1
done

rm -rf "$demo"
[ $status = 0 ] && echo "Screenshots written to $out"
exit $status
