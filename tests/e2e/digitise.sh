#!/usr/bin/env bash
# The program's whole job under a virtual X server with real input events: load the demo scan through
# the open dialog, click its outline, open the review window from the menu, save through the save
# dialog, and check the saved file against the outline the demo generator drew. Screenshots of both
# windows go to the output folder.
set -euo pipefail
exe=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # typed into the save dialog, so absolute
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
saved="$E2E_OUT/digitised-naca2412.dat"
rm -f "$saved" "$E2E_OUT"/digitise-*.png
"$E2E_EXE" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT

E2E_NAME=digitise
source "$E2E_HERE/x11lib.sh"
main=$(main_window)
sleep 1

# "Datei" / "Bild laden", then the file name typed into the open dialog.
xdotool mousemove --window "$main" 20 9 click 1
sleep 0.5
xdotool key Down Return
# The dialog is Qt-made, titled by Qt in German; its file name field has the focus.
window "Öffnen" >/dev/null || fail "no open dialog titled in German"
sleep 0.5
xdotool type --delay 20 "naca2412_scan.bmp"
xdotool key Return
gone "Öffnen" || fail "the open dialog did not close"
sleep 1
# The menu bar lies inside the window and its height follows the font: the picture, drawn at the
# client origin, shows where the client area begins.
import -window "$main" -depth 8 "$E2E_OUT/digitise-loaded.ppm"
menu=$(python3 "$E2E_HERE/menu_height.py" "$E2E_OUT/digitise-loaded.ppm" "$(dirname "$E2E_EXE")/naca2412_scan.bmp") \
  || fail "the loaded picture is not on the screen"
rm -f "$E2E_OUT/digitise-loaded.ppm"
echo "the menu bar is $menu pixels high"

# A move without the button arms appending; then one click per point in digitising order.
count=$(click_points < <(python3 "$E2E_HERE/naca2412.py" clicks))
[ "$count" -ge 30 ] || fail "only $count points to click"
echo "clicked $count points"
# Off the outline, so that the screenshot shows every point unhighlighted.
xdotool mousemove --window "$main" 600 520
sleep 0.5
import -window "$main" "$E2E_OUT/digitise-main-window.png"

# "Edit" / "Polygon zur Profildatei weiter bearbeiten": the first item of the menu right of "Datei".
review=$(open_review)
sleep 1
# Over the plot: the readout follows the mouse.
xdotool mousemove --window "$review" 700 250
sleep 0.5
import -window "$review" "$E2E_OUT/digitise-review-window.png"

save_as "$saved"

python3 "$E2E_HERE/naca2412.py" check "$saved" "Test-Zovori" "$count" || fail "the saved profile"

quit_after_save
echo "PASS: loaded, digitised $count points, reviewed and saved a profile within 0.01 chord"
'
