#!/usr/bin/env python3
"""Rough clicks on the demo scan's outline and the check of the refined profile.

  refine_outline.py clicks       picture pixels to click, each 1 to 2 pixels off the drawn line
  refine_outline.py check FILE   checks a saved profile against the outline to 0.0005 chord after
                                 the best similarity transform, and that it does not cross itself
  refine_outline.py top          reads a binary PPM screenshot of the main window with the scan
                                 loaded on stdin and prints the first row of its client area

The generator draws with Qt, where pixel (i, j) spans i .. i + 1, as the program's view does: a
refined point lies at the page coordinates of the drawn line's centre, while a click at zoom 1 on
pixel (i, j) stores its corner (i, j).
"""
import math
import sys

import naca2412

TOLERANCE = 0.0005  # chord lengths


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
    The first click, at the upper trailing-edge corner, lands on a pixel whose centre lies 1 to 2
    pixels from the corner, outside the profile; the last as near the lower corner as a click can
    append there."""
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
        corner = x == 1.0
        outside = corner or len(rough) % 2 == 0
        best = None
        for i in range(round(px) - 3, round(px) + 4):
            for j in range(round(py) - 3, round(py) + 4):
                near = [s for s in segments if abs(s[0][0] - i) < 12 and abs(s[0][1] - j) < 12]
                d, s = side((i + 0.5, j + 0.5), near)
                if corner:
                    d = math.hypot(i + 0.5 - px, j + 0.5 - py)
                if not 1.0 <= d <= 2.0 or (s > 0) != outside:
                    continue
                along = math.hypot(i + 0.5 - px, j + 0.5 - py) ** 2 - d * d
                if best is None or along < best[0]:
                    best = (along, i, j)
        rough.append((best[1], best[2]))
    # The lower corner lies within the dot of the first click, where a click would drag that point:
    # the last click goes as near it as it can, 1 to 2 pixels outside the lower line.
    cx, cy = naca2412.to_page(naca2412.surface(1.0, False))
    lower = [s for s in segments if s[0][0] > cx - 40 and s[0][1] > cy - 1]
    best = None
    for i in range(round(cx) - 16, round(cx) + 3):
        for j in range(round(cy) - 4, round(cy) + 8):
            d, s = side((i + 0.5, j + 0.5), lower)
            if not 1.0 <= d <= 2.0 or s < 0 or math.dist((i, j), rough[0]) <= 9.5:
                continue
            if naca2412.distance_to_polyline((i, j), rough) <= 5:
                continue
            gap = math.hypot(i + 0.5 - cx, j + 0.5 - cy)
            if best is None or gap < best[0]:
                best = (gap, i, j)
    rough.append((best[1], best[2]))
    for k, click in enumerate(rough):
        # A click near a point already set drags it, one near a segment inserts it.
        assert all(math.dist(click, p) > 9 for p in rough[:k]), click
        assert k < 2 or naca2412.distance_to_polyline(click, rough[:k]) > 5, click
    return rough


def nearest_on(p, line):
    best, point = math.inf, line[0]
    for (ax, ay), (bx, by) in zip(line, line[1:]):
        vx, vy = bx - ax, by - ay
        length2 = vx * vx + vy * vy
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((p[0] - ax) * vx + (p[1] - ay) * vy) / length2))
        q = (ax + t * vx, ay + t * vy)
        d = math.dist(p, q)
        if d < best:
            best, point = d, q
    return point


def best_similarity(points, reference, rounds=12):
    """The points moved by the similarity transform that brings them nearest the reference line."""
    moved = list(points)
    for _ in range(rounds):
        targets = [nearest_on(p, reference) for p in moved]
        n = len(moved)
        mx, my = sum(p[0] for p in moved) / n, sum(p[1] for p in moved) / n
        tx, ty = sum(q[0] for q in targets) / n, sum(q[1] for q in targets) / n
        a = b = norm = 0.0
        for (x, y), (u, v) in zip(moved, targets):
            x, y, u, v = x - mx, y - my, u - tx, v - ty
            a += x * u + y * v
            b += x * v - y * u
            norm += x * x + y * y
        a, b = a / norm, b / norm
        moved = [(tx + a * (x - mx) - b * (y - my), ty + b * (x - mx) + a * (y - my)) for x, y in moved]
    return moved


def crossing(points):
    """The first pair of segments of the closed polygon that meet without being neighbours."""
    def orient(p, q, r):
        return (q[0] - p[0]) * (r[1] - p[1]) - (q[1] - p[1]) * (r[0] - p[0])
    ring = points + [points[0]]
    m = len(points)
    for i in range(m):
        for j in range(i + 2, m):
            if i == 0 and j == m - 1:
                continue
            a, b, c, d = ring[i], ring[i + 1], ring[j], ring[j + 1]
            if orient(a, b, c) * orient(a, b, d) < 0 and orient(c, d, a) * orient(c, d, b) < 0:
                return i, j
    return None


def check(path):
    lines = open(path, 'rb').read().split(b'\r\n')[1:-1]
    reference = naca2412.outline()
    # The base between the two trailing-edge corners, 0.0025 chord apart.
    reference.append(reference[0])
    # The file closes with the point "1 0", which the program adds, not the command.
    points = [tuple(float(v) for v in text.split(b' ')) for text in lines][:-1]
    fitted = best_similarity(points, reference)
    worst, faults = 0.0, 0
    for number, (p, q) in enumerate(zip(points, fitted), start=2):
        d = naca2412.distance_to_polyline(q, reference)
        worst = max(worst, d)
        if d > TOLERANCE:
            faults += 1
            print('FAIL: line %d (%.6f %.6f) lies %.5f chord off the outline' % (number, p[0], p[1], d))
    pair = crossing(points)
    if pair:
        faults += 1
        print('FAIL: the outline crosses itself at lines %d and %d' % (pair[0] + 2, pair[1] + 2))
    print('%d points, farthest %.5f chord from the outline after the best similarity transform' % (len(points), worst))
    return 1 if faults or not points else 0


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
