# Helpers shared by the end-to-end scripts; sourced inside their virtual X server's shell.
# Needs E2E_OUT (the output folder) and E2E_NAME (the prefix of the failure screenshot).

fail() { echo "FAIL: $*"; import -window root "$E2E_OUT/$E2E_NAME-failure.png" || true; exit 1; }
# Waits for a visible window of this exact title and prints its id.
window() { timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
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
