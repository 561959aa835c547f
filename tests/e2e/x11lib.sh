# Helpers shared by the end-to-end scripts; sourced inside their virtual X server's shell.
# Needs E2E_OUT (the output folder) and E2E_NAME (the prefix of the failure screenshot).

fail() { echo "FAIL: $*"; import -window root "$E2E_OUT/$E2E_NAME-failure.png" || true; exit 1; }
# Waits for a visible window of this exact title and prints its id.
# A window closing while xdotool looks at the visible ones stops it with an X error: look again.
window() {
  local id
  for _ in 1 2 3; do
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
  done
  return 1
}
# Waits until no visible window has this exact title.
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0
    sleep 0.1
  done
  return 1
}
# The main window's id once it has settled: the first id found while it maps can be gone a moment later.
main_window() {
  window "Zovori Konturzieher V1.21" >/dev/null || fail "no main window"
  sleep 1
  window "Zovori Konturzieher V1.21" || fail "no main window"
}
# Clicks every "x y" line of standard input in the main window ($main), y counted from the client
# area's top ($menu below the window's), and prints how many it clicked.
click_points() {
  local n=0 x y
  while read -r x y; do
    xdotool mousemove --window "$main" "$x" $((y + menu))
    sleep 0.05
    xdotool click 1
    sleep 0.08
    n=$((n + 1))
  done
  echo "$n"
}
# "Edit" / "Polygon zur Profildatei weiter bearbeiten", the first item of the menu right of "Datei";
# prints the review window's id.
open_review() {
  xdotool mousemove --window "$main" 20 9 click 1
  sleep 0.5
  xdotool key Right
  sleep 0.5
  xdotool key Return
  window "Weiterbearbeitung zur Profildatei" || fail "the review window did not open"
}
# "Speichern unter" (8, 600; 193 x 25) of the review window ($review), the path typed into the save
# dialog; returns once the file is there.
save_as() {
  xdotool mousemove --window "$review" 100 612 click 1
  window "Speichern unter" >/dev/null || fail "no save dialog titled in German"
  sleep 0.5
  xdotool type --delay 20 "$1"
  xdotool key Return
  gone "Speichern unter" || fail "the save dialog did not close"
  for _ in $(seq 50); do
    [ -f "$1" ] && break
    sleep 0.1
  done
  [ -f "$1" ] || fail "no file saved at $1"
  sleep 0.5
}
# Saved, so the program ($pid) ends through "Datei" / "Programmende" without asking.
quit_after_save() {
  xdotool mousemove --window "$main" 20 9 click 1
  sleep 0.5
  xdotool key Down Down Return
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the program did not end after the save"
  wait "$pid"
  trap - EXIT
}
