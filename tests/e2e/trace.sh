#!/usr/bin/env bash
# "Kontur automatisch verfolgen" under a virtual X server with real input events: load the demo
# scan, click its upper trailing edge once, press Ctrl+T, save through "Für XFOIL speichern", and
# check every saved point against the outline the demo generator drew to 0.0005 chord, after the
# best similarity transform.
set -euo pipefail
exe=$1
mkdir -p "$2"
out=$(cd "$2" && pwd) # typed into the save dialog, so absolute
here=$(cd "$(dirname "$0")" && pwd)
export E2E_EXE=$exe E2E_OUT=$out E2E_HERE=$here
exec xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
set -euo pipefail
export QT_QPA_PLATFORM=xcb
saved="$E2E_OUT/traced-naca2412.dat"
rm -f "$saved" "$E2E_OUT"/trace-*.png
"$E2E_EXE" & pid=$!
trap "kill $pid 2>/dev/null || true" EXIT

E2E_NAME=trace
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
menu=$(import -window "$main" -depth 8 ppm:- | python3 "$E2E_HERE/refine_outline.py" top)
[ "$menu" -gt 10 ] && [ "$menu" -lt 40 ] || fail "no picture below the menu bar ($menu)"

# One click on the upper trailing edge, then Ctrl+T.
count=$(python3 -c "
import sys; sys.path.insert(0, \"$E2E_HERE\")
import naca2412
x, y = naca2412.to_page(naca2412.surface(1.0, True))
print(round(x), round(y))" | click_points)
[ "$count" -eq 1 ] || fail "the first click"
xdotool mousemove --window "$main" 600 520
sleep 0.3
xdotool key --window "$main" ctrl+t
sleep 1.5
# Escape ends extending, so the picture of the traced contour shows no rubber band.
xdotool key Escape
sleep 0.5
import -window "$main" "$E2E_OUT/trace-main-window.png"
window "Zovori" >/dev/null 2>&1 && fail "the trace stopped with a message"

review=$(open_review)
sleep 1
# "Für XFOIL speichern" (8, 632; 193 x 25) of the review window.
xdotool mousemove --window "$review" 100 644 click 1
window "Speichern unter" >/dev/null || fail "no save dialog"
sleep 0.5
xdotool type --delay 20 "$saved"
xdotool key Return
gone "Speichern unter" || fail "the save dialog did not close"
for _ in $(seq 50); do
  [ -f "$saved" ] && break
  sleep 0.1
done
[ -f "$saved" ] || fail "no file saved at $saved"
sleep 0.5

python3 - "$saved" "$E2E_HERE" <<PY || fail "the traced profile"
import sys
sys.path.insert(0, sys.argv[2])
import naca2412
lines = open(sys.argv[1], "rb").read().decode("latin-1").splitlines()[1:]
points = [tuple(float(v) for v in line.split()) for line in lines if line.strip()]
reference = naca2412.outline()
reference.append(reference[0])  # the pen closes the 0.0025 chord edge on the scan
def nearest(p):
    best, at = None, None
    for (ax, ay), (bx, by) in zip(reference, reference[1:]):
        vx, vy = bx - ax, by - ay
        l2 = vx * vx + vy * vy
        t = 0.0 if l2 == 0 else max(0.0, min(1.0, ((p[0] - ax) * vx + (p[1] - ay) * vy) / l2))
        q = (ax + t * vx, ay + t * vy)
        d = (p[0] - q[0]) ** 2 + (p[1] - q[1]) ** 2
        if best is None or d < best:
            best, at = d, q
    return at
# The file sets its chord from the point farthest from the edge, the drawing from the NACA nose:
# the best similarity transform onto the outline takes that difference out before the check.
for _ in range(6):
    pairs = [(p, nearest(p)) for p in points]
    n = len(pairs)
    mx, my = sum(p[0] for p, _ in pairs) / n, sum(p[1] for p, _ in pairs) / n
    rx, ry = sum(q[0] for _, q in pairs) / n, sum(q[1] for _, q in pairs) / n
    a = sum((p[0] - mx) * (q[0] - rx) + (p[1] - my) * (q[1] - ry) for p, q in pairs)
    b = sum((p[0] - mx) * (q[1] - ry) - (p[1] - my) * (q[0] - rx) for p, q in pairs)
    s2 = sum((p[0] - mx) ** 2 + (p[1] - my) ** 2 for p, _ in pairs)
    c, s = a / s2, b / s2
    points = [(rx + c * (x - mx) - s * (y - my), ry + s * (x - mx) + c * (y - my)) for x, y in points]
worst = max(naca2412.distance_to_polyline(p, reference) for p in points)
print("%d points, farthest %.5f chord from the outline" % (len(points), worst))
sys.exit(0 if len(points) >= 150 and worst <= 0.0005 else 1)
PY

quit_after_save
echo "PASS: one click and Ctrl+T traced the demo scan; every saved point within 0.0005 chord of the outline"
'
