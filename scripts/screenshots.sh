#!/usr/bin/env bash
# Refreshes the screenshots in docs/images/: starts QuorStudio with the tutorial under a virtual
# X server, runs it, and photographs the Output, Error (with its underline), Statements,
# Question derivation and Inferences docks, and the toolbars.
#
#   bash scripts/screenshots.sh [path/to/quorstudio]
#
# Without an argument it takes $QUOR_PROGRAM, else build-release/bin/quorstudio, else the first
# build*/bin/quorstudio; if there is none it builds build-release as scripts/run.sh does.
# Run as root it installs the missing tools (xvfb, xauth, xdotool, imagemagick) with apt.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# The window is made this big; the bottom dock tabs sit 38 pixels above its lower edge.
width=1180
height=800
tabs_y=$((height - 38))
images="$QUOR_ROOT/docs/images"

if [ -z "${QUOR_SCREENSHOTS_INNER:-}" ]; then
    if [ "$(id -u)" = 0 ]; then
        install_missing xvfb xauth xdotool imagemagick
    fi
    program="${1:-${QUOR_PROGRAM:-}}"
    if [ -z "$program" ]; then
        program="$QUOR_ROOT/build-release/bin/quorstudio"
        if [ ! -x "$program" ]; then
            found=$(ls "$QUOR_ROOT"/build*/bin/quorstudio 2>/dev/null | head -n 1 || true)
            if [ -n "$found" ]; then
                program="$found"
            else
                [ "$(id -u)" = 0 ] && install_missing $QUOR_BUILD_PACKAGES
                cmake -S "$QUOR_ROOT" -B "$QUOR_ROOT/build-release" -G Ninja \
                    -DCMAKE_BUILD_TYPE=Release -DQUOR_BUILD_TESTS=OFF
                cmake --build "$QUOR_ROOT/build-release"
            fi
        fi
    fi
    # A screen without a window manager: the window has no frame and sits at (0, 0).
    exec env QUOR_SCREENSHOTS_INNER=1 QUOR_PROGRAM="$(realpath "$program")" \
        xvfb-run -a -s "-screen 0 1280x900x24" bash "${BASH_SOURCE[0]}"
fi

work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to ten seconds for a window whose title matches $1 and prints its id.
wait_window() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "No window titled '$1' appeared." >&2
    return 1
}

# Waits until no window title matches $1.
wait_gone() {
    for _ in $(seq 100); do
        xdotool search --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    echo "The window titled '$1' did not close." >&2
    return 1
}

shoot() {
    xdotool mousemove 700 "$((height - 10))" # the status bar: no button looks hovered
    sleep 0.7
    import -window root -crop "${width}x${height}+0+0" +repage "$images/$1.png"
    echo "Wrote docs/images/$1.png"
}

click() {
    xdotool mousemove "$1" "$2" click --repeat "${3:-1}" --delay 80 1
}

# Fresh settings (Time on, Debug off) that leave the user's own untouched; the Current Folder
# dock shows the examples folder.
use_private_home "$work"
mkdir -p "$images"
cd "$QUOR_ROOT/examples"
"$QUOR_PROGRAM" "$QUOR_ROOT/examples/tutorial.quor" &
pid=$!

window=$(wait_window '^QuorStudio( - .*)?$')
# Qt may still set its own size just after mapping the window: repeat until ours holds.
for _ in $(seq 50); do
    xdotool windowsize "$window" "$width" "$height"
    sleep 0.3
    xdotool getwindowgeometry "$window" | grep -q "Geometry: ${width}x${height}" && break
done
xdotool getwindowgeometry "$window" | grep -q "Geometry: ${width}x${height}" ||
    { echo "Could not resize the window." >&2; exit 1; }
sleep 1

# Run (F5) on the toolbar; the tutorial's last line, "⋙ memory", opens a Save dialog.
click 29 80
wait_window '^Save as' >/dev/null
xdotool key Escape
wait_gone '^Save as'
shoot main-window
# The two toolbar rows on their own, for the keyboard reference.
import -window root -crop 660x80+0+21 +repage "$images/toolbars.png"
echo "Wrote docs/images/toolbars.png"

# Error dock: double-clicking the entry puts the cursor on the underlined error.
click 544 "$tabs_y"
click 80 570 2
shoot error-list

# Give the docks more room: drag the splitter between the editor and the docks upwards.
xdotool mousemove 590 533 mousedown 1 sleep 0.2 mousemove 590 420 sleep 0.2 \
    mousemove 590 330 sleep 0.2 mouseup 1

click 296 "$tabs_y"
shoot statements

# The graphs are zoomed out with the mouse wheel (button 5) to show more of them.
click 169 "$tabs_y"
xdotool mousemove 590 550 click --repeat 3 --delay 50 5
shoot question-derivation

click 46 "$tabs_y"
xdotool mousemove 590 550 click --repeat 4 --delay 50 5
shoot inferences
