# Sourced: demo_layout BIN_DIR DEST LANGUAGE
# Lays out a game installation in DEST/Wingmere from the built binaries and game/install/,
# with its work (save) directory in DEST/Save and the display language LANGUAGE (0 or 1).

demo_layout() {
    local bin=$1 dest=$2 language=$3
    local source_root
    source_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    local install="$dest/Wingmere" save="$dest/Save"
    mkdir -p "$install" "$save"
    for file in wgconf.dll vidq.dll DSETUP.dll launcher.exe JoyStickSelector.exe; do
        cp -f "$bin/$file" "$install/" || return 1
    done
    cp -f "$source_root"/game/install/* "$install/"
    [ -f "$source_root/game/vidq/vidq.ini" ] && cp -f "$source_root/game/vidq/vidq.ini" "$install/"

    # Under Wine the Unix root is drive Z:.
    local save_windows="Z:${save//\//\\}\\"
    printf '[DIR]\r\nwork=%s\r\n\r\n[SYSTEM]\r\nlanguage=%s\r\n' "$save_windows" "$language" >"$install/config.ini"
}
