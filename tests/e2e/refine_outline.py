#!/usr/bin/env python3
"""Rough clicks on the demo scan's outline and the check of the refined profile.

  refine_outline.py clicks       picture pixels to click, each 1 to 2 pixels off the drawn line
  refine_outline.py check FILE   checks a saved profile against the outline to 0.001 chord
  refine_outline.py top          reads a binary PPM screenshot of the main window with the scan
                                 loaded on stdin and prints the first row of its client area

The generator draws with Qt, where pixel (i, j) spans i .. i + 1; a click on pixel (i, j) stores
(i, j), so the drawn line's centre lies at the page coordinates minus half a pixel.
"""
import math
import sys

import naca2412

TOLERANCE = 0.001  # chord lengths


def page_outline(stations=4000):
    xs = [0.5 * (1 - math.cos(math.pi * i / stations)) for i in range(stations + 1)]
    upper = [naca2412.to_page(naca2412.surface(x, True)) for x in reversed(xs)]
    lower = [naca2412.to_page(naca2412.surface(x, False)) for x in xs[1:]]
    return upper + lower


def side(p, segments):
    """Distance of p from the segments and the side it lies on (+1 left of the digitising direction)."""
    best, sign = math.inf, 1.0
    for (ax, ay), (bx, by) in segments:
        vx, vy = bx - ax, by - ay
        length2 = vx * vx + vy * vy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - ax) * vx + (p[1] - ay) * vy) / length2))
        d = math.hypot(p[0] - ax - t * vx, p[1] - ay - t * vy)
        if d < best:
            best, sign = d, 1.0 if vx * (p[1] - ay) - vy * (p[0] - ax) > 0 else -1.0
    return best, sign


def clicks():
    """The stations of the careful clicks, each moved across the line to the pixel whose centre lies
    1 to 2 pixels off it, as little along the line as the pixels allow, alternately to either side.
    Near the trailing edge the other surface's line lies within reach of a click inside the profile,
    and the command rightly leaves such a point where it is; there the clicks go outside."""
    outline = page_outline()
    segments = list(zip(outline, outline[1:]))
    n = 18
    stations = [0.5 * (1 - math.cos(math.pi * i / n)) for i in range(n + 1)]
    wanted = [(x, True) for x in reversed(stations)] + [(x, False) for x in stations[1:]]
    careful = set(naca2412.clicks())
    rough = []
    for x, upper in wanted:
        px, py = naca2412.to_page(naca2412.surface(x, upper))
        if (round(px), round(py)) not in careful:
            continue
        # Outside the profile is left of the digitising direction on both surfaces.
        outside = x > 0.9 or len(rough) % 2 == 0
        best = None
        for i in range(round(px) - 3, round(px) + 4):
            for j in range(round(py) - 3, round(py) + 4):
                near = [s for s in segments if abs(s[0][0] - i) < 12 and abs(s[0][1] - j) < 12]
                d, s = side((i + 0.5, j + 0.5), near)
                if not 1.0 <= d <= 2.0 or (s > 0) != outside:
                    continue
                along = math.hypot(i + 0.5 - px, j + 0.5 - py) ** 2 - d * d
                if best is None or along < best[0]:
                    best = (along, i, j)
        rough.append((best[1], best[2]))
    for k, click in enumerate(rough):
        # A click near a point already set drags it, one near a segment inserts it.
        assert all(math.dist(click, p) > 9 for p in rough[:k]), click
        assert k < 2 or naca2412.distance_to_polyline(click, rough[:k]) > 5, click
    return rough


def check(path):
    lines = open(path, 'rb').read().split(b'\r\n')[1:-1]
    reference = naca2412.outline()
    # The two trailing-edge corners lie 0.0025 chord apart and the pen is wider: on the scan the
    # outline is closed there.
    reference.append(reference[0])
    worst, faults = 0.0, 0
    for number, text in enumerate(lines, start=2):
        x, y = (float(v) for v in text.split(b' '))
        d = naca2412.distance_to_polyline((x, y), reference)
        worst = max(worst, d)
        if d > TOLERANCE:
            faults += 1
            print('FAIL: line %d (%s) lies %.5f chord off the outline' % (number, text.decode(), d))
    print('%d points, farthest %.5f chord from the outline' % (len(lines), worst))
    return 1 if faults or not lines else 0


def client_top():
    """The menu bar is one flat colour across its right part; the scan's grain starts below it."""
    data = sys.stdin.buffer.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    for y in range(height):
        row = pixels[3 * (y * width + 400):3 * (y * width + 800)]
        if len(set(row[i:i + 3] for i in range(0, len(row), 3))) > 8:
            return y
    return None


if __name__ == '__main__':
    if sys.argv[1:] == ['top']:
        print(client_top())
    elif sys.argv[1:] == ['clicks']:
        for x, y in clicks():
            print(x, y)
    elif len(sys.argv) == 3 and sys.argv[1] == 'check':
        sys.exit(check(sys.argv[2]))
    else:
        sys.exit(__doc__)
