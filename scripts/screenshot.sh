#!/usr/bin/env bash
# Starts the real editor under Xvfb in examples/, opens the sample through the real file dialog,
# double-clicks an item and a property, and saves docs/screenshot.png.
# Needs xvfb, xdotool and imagemagick; builds the default preset when the binary is missing.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
binary="$root/build/default/app/kestra"
display="${SCREENSHOT_DISPLAY:-:99}"
out="$root/docs"

if [[ ! -x "$binary" ]]; then
    cmake --preset default >/dev/null
    cmake --build --preset default -j 2 --target kestra
fi
mkdir -p "$out"

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
xvfb=$!
editor=""
cleanup() {
    [[ -n "$editor" ]] && kill "$editor" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

cd "$root/examples"
QT_QPA_PLATFORM=xcb "$binary" &
editor=$!

wait_for_window() {
    local name="$1"
    for _ in $(seq 100); do
        if id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1) && [[ -n "$id" ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "no window named $name" >&2
    return 1
}

main=$(wait_for_window '^Kestra$')
xdotool windowmove "$main" 0 0 windowsize "$main" 1200 720 windowactivate --sync "$main" 2>/dev/null ||
    xdotool windowfocus --sync "$main"
sleep 0.5

# Open the sample through the file dialog: Ctrl+O, the path, Enter.
xdotool key --window "$main" ctrl+o
dialog=$(xdotool search --sync --onlyvisible --class kestra | grep -v "^$main\$" | head -n 1)
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.5
xdotool type --delay 20 "$root/examples/sample.info"
xdotool key Return
for _ in $(seq 100); do
    xdotool getwindowname "$main" | grep -q 'sample.info (Kestra)' && break
    sleep 0.1
done
sleep 0.5

# Double-click the fourth item, then its second property. Rows are 14 pixels high under the menu
# bar and the column headers with the default font.
row() { echo $((44 + 14 * $1)); }
xdotool mousemove --window "$main" 60 "$(row 3)" click --repeat 2 --delay 80 1
sleep 0.3
xdotool mousemove --window "$main" 460 "$(row 1)" click --repeat 2 --delay 80 1
sleep 0.5

shot() { import -window root -crop 1200x720+0+0 +repage "$out/$1"; echo "saved $out/$1"; }
shot screenshot.png
