#!/usr/bin/env python3
"""The demo scan's outline as tools/make_demo_scan.cpp draws it, for the digitising test.

  naca2412.py clicks       picture pixels to click, upper trailing edge round the nose to the lower side
  naca2412.py edge-clicks  the same as a careful user clicks for XFOIL: the trailing edge where its
                           lines meet, and the lower side as near the edge as the dots let a click add
  naca2412.py check FILE   checks a saved profile file against the outline; exit status 1 on a fault
"""
import math
import sys

# The generator's page: nose at (100, 300), chord 1000 px, y upward on paper, the whole drawing
# turned by -1.2 degrees about the page centre (Qt's rotate, y downward).
WIDTH, HEIGHT, CHORD = 1200, 560, 1000.0
NOSE = (100.0, HEIGHT / 2 + 20.0)
TURN = math.radians(-1.2)
TOLERANCE = 0.01  # chord lengths


def surface(x, upper, m=0.02, p=0.4, t=0.12):
    yt = 5 * t * (0.2969 * math.sqrt(x) - 0.1260 * x - 0.3516 * x**2 + 0.2843 * x**3 - 0.1015 * x**4)
    if x < p:
        yc, slope = m / p**2 * (2 * p * x - x * x), 2 * m / p**2 * (p - x)
    else:
        yc, slope = m / (1 - p)**2 * ((1 - 2 * p) + 2 * p * x - x * x), 2 * m / (1 - p)**2 * (p - x)
    theta = math.atan(slope)
    s = 1.0 if upper else -1.0
    return x - s * yt * math.sin(theta), yc + s * yt * math.cos(theta)


def to_page(point):
    px, py = NOSE[0] + point[0] * CHORD, NOSE[1] - point[1] * CHORD
    cx, cy = WIDTH / 2, HEIGHT / 2
    dx, dy = px - cx, py - cy
    return cx + dx * math.cos(TURN) - dy * math.sin(TURN), cy + dx * math.sin(TURN) + dy * math.cos(TURN)


def clicks(careful=False):
    """18 stations a side with cosine spacing, rounded to pixels. A station is left out where its
    click would land on a point already clicked or on a segment: that click would drag or insert
    instead of appending. Plain clicks keep wide margins (12 px from a point, 6 from a segment).
    Careful clicks start at the middle of the trailing edge (at zoom 1 its two lines are one blob),
    add stations at 95 % and 98 % below, and keep only the margins the program's hit test needs
    (twice the dot radius of 4 px from a point, the radius from a segment, each plus one)."""
    n = 18
    stations = [0.5 * (1 - math.cos(math.pi * i / n)) for i in range(n + 1)]
    wanted = [surface(x, True) for x in reversed(stations)]
    lower = stations[1:]
    if careful:
        (ux, uy), (lx, ly) = surface(1.0, True), surface(1.0, False)
        wanted[0] = ((ux + lx) / 2, (uy + ly) / 2)
        lower = sorted(lower + [0.95, 0.98])
    wanted += [surface(x, False) for x in lower]
    point_margin, segment_margin = (9, 5) if careful else (12, 6)
    kept = []
    for p in wanted:
        q = tuple(round(c) for c in to_page(p))
        near_point = any(math.dist(q, k) <= point_margin for k in kept)
        near_segment = len(kept) > 1 and distance_to_polyline(q, kept) <= segment_margin
        if not near_point and not near_segment:
            kept.append(q)
    return kept


def outline():
    xs = [0.5 * (1 - math.cos(math.pi * i / 2000)) for i in range(2001)]
    return [surface(x, True) for x in reversed(xs)] + [surface(x, False) for x in xs[1:]]


def distance_to_polyline(p, line):
    best = math.inf
    for (ax, ay), (bx, by) in zip(line, line[1:]):
        vx, vy = bx - ax, by - ay
        length2 = vx * vx + vy * vy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - ax) * vx + (p[1] - ay) * vy) / length2))
        best = min(best, math.hypot(p[0] - ax - t * vx, p[1] - ay - t * vy))
    return best


def check(path, title, minimum):
    data = open(path, 'rb').read()
    faults = []
    if not data.endswith(b'\r\n'):
        faults.append('the file does not end with CR LF')
    lines = data.split(b'\r\n')[:-1]
    if any(b'\r' in l or b'\n' in l for l in lines):
        faults.append('a line ending other than CR LF')
    if not lines or lines[0] != title.encode():
        faults.append('title line %r, expected %r' % (lines[0] if lines else None, title))
    body = lines[1:]
    if len(body) < minimum + 1:
        faults.append('%d point lines, expected at least %d' % (len(body), minimum + 1))
    if not body or body[0] != b'1 0':
        faults.append('first point line %r, expected "1 0"' % (body[0] if body else None))
    if not body or body[-1] != b'1 0':
        faults.append('last point line %r, expected "1 0"' % (body[-1] if body else None))
    line = outline()
    worst = 0.0
    for number, text in enumerate(body, start=2):
        parts = text.split(b' ')
        if len(parts) != 2:
            faults.append('line %d is not "x y": %r' % (number, text))
            continue
        p = (float(parts[0]), float(parts[1]))
        d = distance_to_polyline(p, line)
        worst = max(worst, d)
        if d > TOLERANCE:
            faults.append('line %d (%s) lies %.4f chord off the outline' % (number, text.decode(), d))
    print('%d points, farthest %.5f chord from the outline' % (len(body), worst))
    for f in faults:
        print('FAIL:', f)
    return 1 if faults else 0


if __name__ == '__main__':
    if sys.argv[1:] in (['clicks'], ['edge-clicks']):
        for x, y in clicks(sys.argv[1] == 'edge-clicks'):
            print(x, y)
    elif len(sys.argv) == 5 and sys.argv[1] == 'check':
        sys.exit(check(sys.argv[2], sys.argv[3], int(sys.argv[4])))
    else:
        sys.exit(__doc__)
