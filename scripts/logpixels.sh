# Sourced inside the Windows runtime (scripts/wine-exec.sh --shell): the prefix's DPI setting.
# Wine takes LogPixels when its session starts, so each change ends the session.
#   logpixels_keep     remembers the prefix's own values and puts them back on every exit
#   logpixels_set DPI  sets both values and starts a new session
logpixels_keys=("HKCU\\Control Panel\\Desktop" "HKCC\\Software\\Fonts")
logpixels_saved=()

logpixels_set() {
    local key
    for key in "${logpixels_keys[@]}"; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 || return 1
    done
    wineserver -k
    wineserver -w
}

logpixels_restore() {
    local i
    for i in 0 1; do
        if [ -n "${logpixels_saved[$i]}" ]; then
            wine reg add "${logpixels_keys[$i]}" /v LogPixels /t REG_DWORD /d "$((logpixels_saved[$i]))" /f >/dev/null 2>&1
        else
            wine reg delete "${logpixels_keys[$i]}" /v LogPixels /f >/dev/null 2>&1
        fi
    done
    wineserver -k
    wineserver -w
}

logpixels_keep() {
    local key
    logpixels_saved=()
    for key in "${logpixels_keys[@]}"; do
        logpixels_saved+=("$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '/LogPixels/ {print $3}')")
    done
    trap logpixels_restore EXIT
    trap 'exit 130' INT TERM HUP
}
