#!/usr/bin/env bash
# Starts the real program on a virtual X server and checks where its windows stand: first without a
# window manager (no frame: the window itself is 1190 x 876, exactly centred), then under openbox,
# started only after the window is shown, so that the frame becomes known late (the frame is then
# 1190 x 876, centred). Opens the review window with F10 and the arrow keys (its frame centred too),
# writes a screenshot and ends the program with Alt alone and the arrow keys: "Datei" / "Programmende".
set -euo pipefail
exe=$1
out=$2
mkdir -p "$out"
export SMOKE_EXE=$exe E2E_OUT=$(cd "$out" && pwd) E2E_HERE=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
"$SMOKE_EXE" & pid=$!
wm=
trap "kill $pid \$wm 2>/dev/null || true" EXIT
E2E_NAME=smoke
source "$E2E_HERE/x11lib.sh"

# Left, top, width and height of a window as the window system shows it, and its frame extents.
client() { xwininfo -id "$1" | awk "/Absolute upper-left X/{x=\$NF} /Absolute upper-left Y/{y=\$NF}
                                     /^ +Width:/{w=\$NF} /^ +Height:/{h=\$NF} END{print x, y, w, h}"; }
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | sed -n "s/.*= //p" | tr -d ,; }
# The outer rectangle, frame included: left top width height.
outer() {
  read -r x y w h < <(client "$1")
  read -r l r t b < <(extents "$1") || true
  l=${l:-0}; r=${r:-0}; t=${t:-0}; b=${b:-0}
  echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}
# Checks that a window with this outer rectangle is centred on the work area with the given size.
centred() {
  local name=$1 x=$2 y=$3 w=$4 h=$5 want_w=$6 want_h=$7
  read -r ax ay aw ah < <(xprop -root _NET_WORKAREA | sed -n "s/.*= //p" | tr -d , | cut -d" " -f1-4) || true
  [ -n "${aw:-}" ] || { ax=0; ay=0; aw=1600; ah=1200; }
  echo "$name: outer ${w}x${h} at $x,$y on the work area ${aw}x${ah} at $ax,$ay"
  [ -z "$want_w" ] || [ "$w" = "$want_w" ] || fail "$name: outer width $w, expected $want_w"
  [ -z "$want_h" ] || [ "$h" = "$want_h" ] || fail "$name: outer height $h, expected $want_h"
  [ "$x" = $((ax + (aw - w) / 2)) ] || fail "$name: left edge $x, centred would be $((ax + (aw - w) / 2))"
  [ "$y" = $((ay + (ah - h) / 2)) ] || fail "$name: top edge $y, centred would be $((ay + (ah - h) / 2))"
}

main=$(window "Zovori Konturzieher V1.21") || fail "no main window"
sleep 1
[ -z "$(extents "$main")" ] || fail "a frame without a window manager"
centred "main window without a window manager" $(outer "$main") 1190 876

# A window manager that frames the window long after its first show.
openbox --sm-disable >"$E2E_OUT/smoke-openbox.log" 2>&1 & wm=$!
for _ in $(seq 100); do
  [ -n "$(extents "$main")" ] && break
  sleep 0.1
done
[ -n "$(extents "$main")" ] || fail "openbox did not frame the main window"
sleep 1
centred "main window framed late by openbox" $(outer "$main") 1190 876

# F10 highlights "Datei"; Right moves to "Edit", Return opens it, Return chooses its first item.
xdotool windowactivate --sync "$main"
sleep 0.3
xdotool key F10
sleep 0.3
xdotool key Right Return
sleep 0.3
xdotool key Return
review=$(window "Weiterbearbeitung zur Profildatei") || fail "F10, Right, Return, Return did not open the review window"
sleep 1
centred "review window" $(outer "$review") "" ""
import -window root "$E2E_OUT/smoke-main-window.png"

# Alt alone highlights "Datei"; Return opens it on "Bild laden", Down moves to "Programmende".
xdotool windowactivate --sync "$main"
sleep 0.3
xdotool key alt
sleep 0.3
xdotool key Return
sleep 0.3
xdotool key Down Return
for _ in $(seq 50); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $pid 2>/dev/null && fail "the program did not end through Alt, Datei / Programmende"
wait $pid
trap - EXIT
kill $wm 2>/dev/null || true
echo "PASS: placed with and without a frame, menus worked from the keyboard, ended through its menu"
'
