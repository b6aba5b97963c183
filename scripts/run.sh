#!/usr/bin/env bash
# Builds what is missing, lays out a demo installation of the game with the stand-ins in demo/,
# and opens the configuration dialog under Wine. Without a display it runs on a virtual one and
# saves a screenshot instead.
#   WGCONF_LANGUAGE=0 scripts/run.sh    English texts (default 1, Japanese)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh || exit 1
build="$root/build/x64"
cmake --preset x64 >/dev/null || exit 1
cmake --build --preset x64 -j"$(nproc)" --target wgconf launcher joystick_selector vidq dsetup >/dev/null || exit 1

source scripts/demo-layout.sh
demo_layout "$build/bin" "$root/demo" "${WGCONF_LANGUAGE:-1}"
echo "Demo installation: $root/demo/Wingmere (options saved in $root/demo/Save)"

source scripts/wine-env.sh
if [ -n "${DISPLAY:-}" ]; then
    wine_prepare "$build"
    cd "$root/demo/Wingmere" && wine launcher.exe
    exit $?
fi

# No display: open the dialog on the build tree's virtual display and photograph it.
wine_prepare "$build"
shot="$root/demo/screenshot.png"
rm -f "$shot"
(cd "$root/demo/Wingmere" && wine launcher.exe --close-after 15000) &
launcher=$!
for _ in $(seq 60); do
    sleep 0.5
    if import -window root -crop 640x700+0+0 "$shot.tmp.png" 2>/dev/null &&
       [ "$(convert "$shot.tmp.png" -format '%[fx:mean>0.01]' info: 2>/dev/null)" = 1 ]; then
        sleep 1
        import -window root "$shot.tmp.png" 2>/dev/null
        convert "$shot.tmp.png" -trim +repage "$shot" 2>/dev/null || mv "$shot.tmp.png" "$shot"
        break
    fi
done
rm -f "$shot.tmp.png"
wait $launcher
result=$?
if [ -f "$shot" ]; then
    echo "No display: the dialog ran headless; screenshot saved to $shot"
else
    echo "No display: the dialog ran headless, but no screenshot could be taken" >&2
    exit 1
fi
exit $result
