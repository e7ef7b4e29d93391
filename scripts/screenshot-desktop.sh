#!/usr/bin/env bash
# Pictures of Kestra as a desktop user meets it: the default build installed under a scratch
# prefix, run under Xvfb with a window manager (openbox) and started from its desktop entry, in a
# home folder that holds no names, on the installed example (its names lie beside it):
#   docs/screenshot-desktop.png       as it starts
#   docs/screenshot-scale-2.png       with QT_SCALE_FACTOR=2
#   docs/screenshot-font-dpi-144.png  with QT_FONT_DPI=144
# each with item 3 and its third property chosen from the keyboard.
# Needs the default preset built, xvfb, xdotool, imagemagick, openbox and GLib's gio.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/default"
display="${SCREENSHOT_DISPLAY:-:98}"
out="$root/docs"

[[ -x "$build/app/kestra" ]] || { echo "build the default preset first" >&2; exit 1; }
work="$(mktemp -d)"
cmake --install "$build" --prefix "$work/usr" >/dev/null
entry="$work/usr/share/applications/io.github.kestra.Kestra.desktop"
sample="$work/usr/share/doc/kestra/examples/sample.info"

source "$root/scripts/virtual-display.sh"
openbox &
stop_on_exit+=($!)

# A new user: an empty home folder (and so no settings), the installed programs on the PATH.
export HOME="$work/home" PATH="$work/usr/bin:$PATH" QT_QPA_PLATFORM=xcb
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME"
cd "$HOME"

# shoot NAME [VARIABLE=VALUE...]: starts the desktop entry on the sample with the variables set,
# chooses item 3 and then its third property, saves docs/NAME and ends the program.
shoot() {
    local name="$1"
    shift
    env "$@" gio launch "$entry" "$sample"
    local window
    window=$(wait_for_window 'sample\.info \(Kestra\)')
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    sleep 1
    # The item list has the focus: Ctrl+Home marks row 0, Enter shows the marked item's
    # properties; Tab goes on to the property list, where Enter loads a property for editing.
    xdotool key ctrl+Home Down Down Down Return
    sleep 0.3
    xdotool key Tab ctrl+Home Down Down Return
    sleep 0.5
    import -window root "$out/$name"
    echo "saved $out/$name"
    local editor
    editor=$(xdotool getwindowpid "$window")
    kill "$editor"
    while kill -0 "$editor" 2>/dev/null; do sleep 0.1; done
}

shoot screenshot-desktop.png
shoot screenshot-scale-2.png QT_SCALE_FACTOR=2
shoot screenshot-font-dpi-144.png QT_FONT_DPI=144
