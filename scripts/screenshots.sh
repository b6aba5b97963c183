#!/usr/bin/env bash
# Photographs the configuration dialog: scripts/screenshots.sh BUILD_DIR
# Lays out a demo installation from BUILD_DIR/bin (an x86_64 build), opens each of the four tabs
# in English and in Japanese on the build tree's virtual display, and writes
# docs/screenshots/{en,ja}-{graphic,input,sound,information}.png, cropped to the dialog.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 1 ] || [ ! -d "$1/bin" ]; then
    echo "usage: scripts/screenshots.sh BUILD_DIR" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
out="$root/docs/screenshots"
mkdir -p "$out"

source "$root/scripts/demo-layout.sh"
source "$root/scripts/wine-env.sh"
# Always the build tree's own virtual display, whatever display the caller has.
WGCONF_HEADLESS=1 wine_prepare "$build"

demo="$build/screenshots-demo"
tabs=(graphic input sound information)
status=0

for language in 0 1; do
    prefix=$([ "$language" = 0 ] && echo en || echo ja)
    rm -rf "$demo"
    demo_layout "$build/bin" "$demo" "$language" || { echo "cannot lay out the demo installation" >&2; exit 1; }
    # A joystick chosen earlier, so that the Input page shows a name.
    mkdir -p "$demo/Save/JoyStickUser"
    printf '[JOYSTICK]\r\nname=Wingmere Flight Stick\r\n' >"$demo/Save/JoyStickUser/SelectJoyStick.ini"

    for index in 0 1 2 3; do
        shot="$out/$prefix-${tabs[$index]}.png"
        ready="$demo/ready.txt"
        rm -f "$ready"
        (cd "$demo/Wingmere" && wine launcher.exe --tab "$index" --ready-file 'Z:'"${ready//\//\\}" \
            --close-after 4000 >/dev/null 2>&1) &
        launcher=$!
        for _ in $(seq 200); do
            [ -s "$ready" ] && break
            sleep 0.1
        done
        if [ -s "$ready" ]; then
            read -r left top right bottom < <(tr -d '\r' <"$ready")
            import -window root "$demo/root.png" 2>/dev/null &&
                convert "$demo/root.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shot" ||
                { echo "no picture of $shot" >&2; status=1; }
        else
            echo "the dialog did not come up for $shot" >&2
            status=1
        fi
        wait "$launcher"
    done
done

rm -rf "$demo"
wine_shutdown "$build"
[ $status = 0 ] && echo "Screenshots written to $out"
exit $status
