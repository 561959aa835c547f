#!/usr/bin/env bash
# Escape is read as the physical key state, whichever window has the focus: a point clicked starts
# the rubber band to the cursor; Escape pressed while another program's window has the focus ends it.
set -euo pipefail
exe=$1
out=$2
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
"$E2E_EXE" & pid=$!
xmessage -geometry +0+0 "andere Anwendung" & other=$!
trap "kill $pid $other 2>/dev/null || true" EXIT

E2E_NAME=keys
source "$E2E_HERE/x11lib.sh"
main=$(main_window)
# The red of the rubber band at a pixel of the main window, "x y" counted from its top-left corner.
red() { [ "$(import -window "$main" -crop "1x1+$1+$2" -depth 8 txt:- | grep -o "#[0-9A-F]\{6\}")" = "#FF0000" ]; }

xdotool mousemove --window "$main" 300 300 click 1
sleep 0.3
xdotool mousemove --window "$main" 700 300
sleep 0.5
red 500 300 || fail "no rubber band after the first point"

msg=$(timeout 20 xdotool search --sync --onlyvisible --name "^xmessage\$" | head -n 1)
xdotool windowfocus --sync "$msg"
sleep 0.3
# Held as a hand holds it: the state counts at a tick, a tap shorter than a tick may pass unseen.
xdotool keydown Escape
sleep 0.1
xdotool keyup Escape
sleep 0.5
red 500 300 && fail "Escape pressed in another window left the rubber band"
echo "PASS: Escape ended the rubber band while another window had the focus"
'
