#!/usr/bin/env bash
# "Stützpunkte auf die Linie setzen" under a virtual X server with real input events: load the demo
# scan, click its outline at zoom 1, 1 to 2 pixels off the drawn line and off the trailing edge's
# corners, run the command from the "Edit" menu, save through the review window, and check every
# saved point against the outline the demo generator drew to 0.0005 chord after the best similarity
# transform, which the clicks alone miss by up to four times that, and that the outline does not
# cross itself.
set -euo pipefail
exe=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # typed into the save dialog, so absolute
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
saved="$E2E_OUT/refined-naca2412.dat"
rm -f "$saved" "$E2E_OUT"/refine-*.png
"$E2E_EXE" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT

E2E_NAME=refine
source "$E2E_HERE/x11lib.sh"
main=$(main_window)

# "Datei" / "Bild laden", then the file name typed into the open dialog.
for attempt in 1 2 3; do
  xdotool mousemove --window "$main" 20 9 click 1
  sleep 0.5
  xdotool key Down Return
  window "Öffnen" >/dev/null && break
  [ "$attempt" -lt 3 ] || fail "no open dialog"
  xdotool key Escape
done
sleep 0.5
xdotool type --delay 20 "naca2412_scan.bmp"
xdotool key Return
gone "Öffnen" || fail "the open dialog did not close"
sleep 1
# The menu bar lies inside the window; the picture starts below it. A pixel off would slide every
# click along the outline, which the command does not correct, so it is measured, not assumed.
menu=$(import -window "$main" -depth 8 ppm:- | python3 "$E2E_HERE/refine_outline.py" top)
[ "$menu" -gt 10 ] && [ "$menu" -lt 40 ] || fail "no picture below the menu bar ($menu)"
echo "client area starts $menu pixels below the window top"

count=$(click_points < <(python3 "$E2E_HERE/refine_outline.py" clicks))
[ "$count" -ge 30 ] || fail "only $count points to click"
echo "clicked $count points"
xdotool mousemove --window "$main" 600 520
sleep 0.3

# "Edit" / "Stützpunkte auf die Linie setzen": from "Datei" one menu right, then up from the first
# item round to the last but one (the tracing comes last).
xdotool mousemove --window "$main" 20 9 click 1
sleep 0.5
xdotool key Right
sleep 0.5
import -window root "$E2E_OUT/refine-menu.png" || true
xdotool key Up Up
sleep 0.3
xdotool key Return
sleep 1
import -window "$main" "$E2E_OUT/refine-main-window.png"

# "Edit" / "Polygon zur Profildatei weiter bearbeiten": the first item of the menu.
review=$(open_review)
sleep 1

save_as "$saved"

python3 "$E2E_HERE/refine_outline.py" check "$saved" || fail "the refined profile"

quit_after_save
echo "PASS: $count rough clicks set onto the line, every saved point within 0.0005 chord of the outline"
'
