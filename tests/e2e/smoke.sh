#!/usr/bin/env bash
# Starts the real program on a virtual X server, finds its main window by title, checks its size,
# writes a screenshot and ends the program through its menu "Datei" / "Programmende".
set -euo pipefail
exe=$1
out=$2
mkdir -p "$out"
export SMOKE_EXE=$exe SMOKE_OUT=$out
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
"$SMOKE_EXE" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT
wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^Zovori Konturzieher V1.21\$" | head -n 1)
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
echo "main window $wid: ${WIDTH}x${HEIGHT} at $X,$Y"
if [ "$WIDTH" != 1190 ] || [ "$HEIGHT" != 876 ]; then
  echo "FAIL: expected an outer size of 1190x876"; exit 1
fi
import -window root "$SMOKE_OUT/smoke-main-window.png"
# "Datei" is the first menu; its second item is "Programmende".
xdotool mousemove --window "$wid" 20 9 click 1
sleep 0.5
xdotool key Down Down Return
for _ in $(seq 50); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
if kill -0 $pid 2>/dev/null; then
  echo "FAIL: the program did not end through Datei / Programmende"; exit 1
fi
wait $pid
trap - EXIT
echo "PASS: started, sized, photographed and ended through its menu"
'
