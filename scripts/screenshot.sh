#!/usr/bin/env bash
# Starts the real editor under Xvfb in examples/, opens the sample through the real file dialog,
# double-clicks an item and a property, and saves docs/screenshot.png; then searches through the
# Edit menu with the keyboard alone, saves docs/screenshot-search.png, and jumps to the found
# item with OK (docs/screenshot-jump.png); finally applies a new value there and saves with
# Ctrl+S, and checks the bytes on disk. It works on a copy of the sample, never on examples/.
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
work="$(mktemp -d)"
cp "$root/examples/sample.info" "$work/"

source "$root/scripts/virtual-display.sh"

cd "$root/examples"
QT_QPA_PLATFORM=xcb "$binary" &
stop_on_exit+=($!)

# The window starts at its own size, 1280 x 720 on this screen.
main=$(wait_for_window '^Kestra$')
xdotool windowmove "$main" 0 0 windowactivate --sync "$main" 2>/dev/null ||
    xdotool windowfocus --sync "$main"
sleep 0.5

# Open the sample through the file dialog: Ctrl+O, the path, Enter.
xdotool key --window "$main" ctrl+o
dialog=$(xdotool search --sync --onlyvisible --class kestra | grep -v "^$main\$" | head -n 1)
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
sleep 0.5
xdotool type --delay 20 "$work/sample.info"
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

shot() { import -window root -crop 1280x720+0+0 +repage "$out/$1"; echo "saved $out/$1"; }
shot screenshot.png

# Edit > Search ..., then: the text, Tab to the first radio and check it, back to Search and
# press it with Enter, Tab past the checked radio to the found items, step onto the second one
# and open it with Enter.
xdotool mousemove --window "$main" 56 8 click 1
sleep 0.4
xdotool mousemove --window "$main" 80 32 click 1
search=$(wait_for_window '^Search$')
sleep 0.5
xdotool type --delay 30 "e"
xdotool key Tab space shift+Tab Return
sleep 0.3
xdotool key Tab Tab Down Return
sleep 0.5
shot screenshot-search.png

# Past the property list to OK, pressed with Enter: the main window jumps to the item.
xdotool key Tab Tab Return
sleep 0.5
shot screenshot-jump.png

# The edit panel kept the loaded property (Wingspan); give item 1 a new value and save it. The
# value field (x 882-1248) and Apply (x 882-1040) sit at half the client height in the right
# third (client 1280 wide).
client_top=19
half=$(((720 - client_top) / 2))
xdotool mousemove --window "$main" 950 $((client_top + half + 12)) click 1 key End
for _ in $(seq 12); do xdotool key BackSpace; done
xdotool type --delay 30 "81.5"
xdotool mousemove --window "$main" 950 $((client_top + half + 42)) click 1
sleep 0.3
xdotool key --window "$main" ctrl+s
sleep 1
python3 - "$work/sample.info" <<'CHECK'
import struct, sys
data = open(sys.argv[1], "rb").read()
first, length = struct.unpack(">II", data[8:16])
wingspan = struct.unpack(">f", data[first + length + 32:first + length + 36])[0]
assert wingspan == 81.5, wingspan
print("saved edit verified: item 1 wingspan", wingspan)
CHECK
