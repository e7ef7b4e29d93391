# Sourced by the screenshot scripts. Starts Xvfb, a 1280 x 800 screen, on $display, exports
# DISPLAY and waits until the server answers. On exit it ends every process listed in
# stop_on_exit, then the server, and removes $work.
# wait_for_window NAME prints the id of the first visible window whose name matches NAME.

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp &
stop_on_exit=()
xvfb=$!
cleanup() {
    for process in ${stop_on_exit[@]+"${stop_on_exit[@]}"}; do
        kill "$process" 2>/dev/null || true
        wait "$process" 2>/dev/null || true
    done
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

wait_for_window() {
    local name="$1" id
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
