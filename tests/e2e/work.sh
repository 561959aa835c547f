#!/usr/bin/env bash
# Work that lasts, under a virtual X server with real input events.
# 1. Digitise the demo scan, save the .dat and the work, quit; start again, open the work, save the
#    .dat again: the same bytes.
# 2. Digitise, save the .dat, wait for the recovery copy, kill the program with SIGKILL; start again,
#    accept the recovery: the same .dat again.
set -euo pipefail
exe=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # typed into the dialogs, so absolute
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
# The recovery copies go to a folder of the test, never to the user'"'"'s own.
export XDG_STATE_HOME="$E2E_OUT/work-state"
rm -rf "$XDG_STATE_HOME" "$E2E_OUT"/work-*.dat "$E2E_OUT"/work-*.zovori "$E2E_OUT"/work-failure.png
E2E_NAME=work
source "$E2E_HERE/x11lib.sh"
# A search can die of an X error when a window goes while it looks (the file dialogs make and drop
# helper windows): look again.
window_again() {
  local w
  for _ in 1 2 3; do
    w=$(window "$1" 2>/dev/null) && [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.3
  done
  return 1
}

start() {
  "$E2E_EXE" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  main=$(main_window)
  sleep 1
}
# "Datei" / "Bild laden" with the demo scan, then its outline clicked.
digitise() {
  xdotool mousemove --window "$main" 20 9 click 1
  sleep 0.5
  xdotool key Down Return
  window_again "Öffnen" >/dev/null || fail "no open dialog"
  sleep 0.5
  xdotool type --delay 20 "naca2412_scan.bmp"
  xdotool key Return
  gone "Öffnen" || fail "the open dialog did not close"
  sleep 1
  import -window "$main" -depth 8 "$E2E_OUT/work-loaded.ppm"
  menu=$(python3 "$E2E_HERE/menu_height.py" "$E2E_OUT/work-loaded.ppm" "$(dirname "$E2E_EXE")/naca2412_scan.bmp") \
    || fail "the loaded picture is not on the screen"
  rm -f "$E2E_OUT/work-loaded.ppm"
  count=$(click_points < <(python3 "$E2E_HERE/naca2412.py" clicks))
  [ "$count" -ge 30 ] || fail "only $count points to click"
  xdotool mousemove --window "$main" 600 520
}
# The last two items of "Datei": "Arbeit öffnen …" (Up Up from the closed end) and "Arbeit speichern …" (Up).
datei_from_end() {
  xdotool mousemove --window "$main" 20 9 click 1
  sleep 0.5
  xdotool key "$@"
  sleep 0.3
  xdotool key Return
}

# 1. Saved work, opened again after a restart.
start
digitise
review=$(open_review)
save_as "$E2E_OUT/work-before.dat"

datei_from_end Up
window_again "Speichern unter" >/dev/null || fail "no save dialog for the work"
sleep 0.5
xdotool type --delay 20 "$E2E_OUT/work-digitised.zovori"
xdotool key Return
gone "Speichern unter" || fail "the save dialog did not close"
for _ in $(seq 50); do [ -f "$E2E_OUT/work-digitised.zovori" ] && break; sleep 0.1; done
[ -f "$E2E_OUT/work-digitised.zovori" ] || fail "no work file saved"
quit_after_save
[ -z "$(ls -A "$XDG_STATE_HOME/zovori" 2>/dev/null | grep zovori)" ] || fail "a normal end left a recovery copy"

start
datei_from_end Up Up
window_again "Öffnen" >/dev/null || fail "no open dialog for the work"
sleep 0.5
xdotool type --delay 20 "$E2E_OUT/work-digitised.zovori"
xdotool key Return
gone "Öffnen" || fail "the open dialog did not close"
sleep 1
review=$(open_review)
save_as "$E2E_OUT/work-reopened.dat"
cmp "$E2E_OUT/work-before.dat" "$E2E_OUT/work-reopened.dat" || fail "the reopened work saves another .dat"
quit_after_save
echo "PASS: saved work, quit, opened it again: the same .dat"

# 2. Killed, then recovered.
start
digitise
review=$(open_review)
save_as "$E2E_OUT/work-killed.dat"
# The copy follows within 10 s of the last change, the save of the .dat being the last one.
copy="$XDG_STATE_HOME/zovori/recovery-$pid.zovori"
for _ in $(seq 250); do
  [ "$copy" -nt "$E2E_OUT/work-killed.dat" ] && break
  sleep 0.1
done
[ "$copy" -nt "$E2E_OUT/work-killed.dat" ] || fail "no recovery copy of the latest work within 25 s"
sleep 0.5
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
trap - EXIT

start
question=$(window_again "Bestätigung") || fail "no question for the recovery"
xdotool windowfocus --sync "$question" key Return
gone "Bestätigung" || fail "the question did not close"
sleep 1
review=$(open_review)
save_as "$E2E_OUT/work-recovered.dat"
cmp "$E2E_OUT/work-killed.dat" "$E2E_OUT/work-recovered.dat" || fail "the recovered work saves another .dat"
quit_after_save
echo "PASS: killed, restarted, recovered: the same .dat"
'
