#!/usr/bin/env bash
# A scan as it comes from elsewhere: the demo scan converted to a PNG without a telling name,
# imported through "Datei" / "Bild importieren …" and its open dialog, its outline clicked, and the
# profile saved and checked against the outline the demo generator drew.
set -euo pipefail
exe=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # typed into the dialogs, so absolute
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
saved="$E2E_OUT/imported-naca2412.dat"
scan="$E2E_OUT/naca2412 from the scanner"
rm -f "$saved" "$scan" "$E2E_OUT"/import-*.png
convert "$(dirname "$E2E_EXE")/naca2412_scan.bmp" "png:$scan"
"$E2E_EXE" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT

E2E_NAME=import
source "$E2E_HERE/x11lib.sh"
main=$(main_window)
sleep 1

# "Datei" / "Bild importieren …": the third item, past the separator.
xdotool mousemove --window "$main" 20 9 click 1
sleep 0.5
xdotool key Down Down Down Return
window "Öffnen" >/dev/null || fail "no open dialog titled in German"
sleep 0.5
xdotool type --delay 20 "$scan"
xdotool key Return
gone "Öffnen" || fail "the open dialog did not close"
sleep 1
import -window "$main" -depth 8 "$E2E_OUT/import-loaded.ppm"
menu=$(python3 "$E2E_HERE/menu_height.py" "$E2E_OUT/import-loaded.ppm" "$(dirname "$E2E_EXE")/naca2412_scan.bmp") \
  || fail "the imported picture is not on the screen as the loaded one would be"
rm -f "$E2E_OUT/import-loaded.ppm"

count=$(click_points < <(python3 "$E2E_HERE/naca2412.py" clicks))
[ "$count" -ge 30 ] || fail "only $count points to click"
review=$(open_review)
sleep 1
save_as "$saved"
python3 "$E2E_HERE/naca2412.py" check "$saved" "Test-Zovori" "$count" || fail "the saved profile"
quit_after_save
echo "PASS: imported a PNG by its content, digitised $count points and saved a profile within 0.01 chord"
'
