# Sourced inside the Windows runtime (scripts/wine-exec.sh --shell), in an installation folder.
#   photograph_dialog SHOT TAB READY_FILE
# Starts launcher.exe, waits until the dialog is up on tab TAB (-1: the first), saves the
# dialog's part of the screen to SHOT, and lets the launcher press Cancel. Returns 0 when the
# picture was taken and the dialog closed normally (the entry's result 1).
photograph_dialog() {
    local shot=$1 tab=$2 ready=$3 launcher left top right bottom status=0
    rm -f "$ready" "$shot"
    local arguments=(--ready-file "Z:${ready//\//\\}" --close-after 3000)
    [ "$tab" -ge 0 ] && arguments+=(--tab "$tab")
    wine launcher.exe "${arguments[@]}" >/dev/null 2>&1 &
    launcher=$!
    for _ in $(seq 300); do
        [ -s "$ready" ] && break
        sleep 0.1
    done
    if [ -s "$ready" ]; then
        read -r left top right bottom < <(tr -d '\r' <"$ready")
        import -window root "$ready.png" 2>/dev/null &&
            convert "$ready.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shot" ||
            { echo "no picture of $shot" >&2; status=1; }
        rm -f "$ready.png"
    else
        echo "the dialog did not come up for $shot" >&2
        status=1
    fi
    wait "$launcher"
    [ $? = 1 ] || { echo "the dialog did not close normally" >&2; status=1; }
    rm -f "$ready"
    return $status
}
