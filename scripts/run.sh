#!/usr/bin/env bash
# Builds what is missing, lays out a demo installation of the game from the 32-bit product and
# the stand-ins in demo/, and opens the configuration dialog under Wine (WoW64); on a machine
# where Wine cannot run a 32-bit program, from the 64-bit twin. Without a
# display it runs on a virtual one and saves a screenshot to demo/screenshot.png instead.
#   WGCONF_LANGUAGE=0 scripts/run.sh    English texts (default 1, Japanese)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh || exit 1
source scripts/runtime.sh
preset=i686
if ! runtime_runs_32bit "$root/build/i686"; then
    echo "Wine cannot run 32-bit programs on this machine: the 64-bit twin (build/x64) is shown instead." >&2
    preset=x64
fi
build="$root/build/$preset"
cmake --preset "$preset" >/dev/null || exit 1
cmake --build --preset "$preset" -j"$(nproc)" --target wgconf launcher joystick_selector vidq dsetup >/dev/null || exit 1

source scripts/demo-layout.sh
demo_layout "$build/bin" "$root/demo" "${WGCONF_LANGUAGE:-1}" || exit 1
echo "Demo installation: $root/demo/Wingmere (options saved in $root/demo/Save)"

if [ -n "${DISPLAY:-}" ] && [ -z "${WGCONF_HEADLESS:-}" ]; then
    bash scripts/wine-exec.sh "$build" --shell "cd '$root/demo/Wingmere' && wine launcher.exe"
    exit $?
fi

# No display: open the dialog on a virtual display, photograph it, then press Cancel.
shot="$root/demo/screenshot.png"
rm -f "$shot"
WGCONF_HEADLESS=1 bash scripts/wine-exec.sh "$build" --shell "
    source '$root/scripts/screenshot-lib.sh'
    cd '$root/demo/Wingmere' && photograph_dialog '$shot' -1 '$root/demo/ready.txt'"
result=$?
if [ -f "$shot" ]; then
    echo "No display: the dialog ran headless; screenshot saved to $shot"
else
    echo "No display: the dialog ran headless, but no screenshot could be taken" >&2
    exit 1
fi
exit $result
