#!/usr/bin/env python3
"""Measures how far below the top of the main window's X window the picture starts (the menu bar's
height), from a screenshot of that window taken with the picture loaded at zoom 1, unrotated, at the
origin: the first rows of the picture appear exactly, pixel for pixel, that far down.

  menu_height.py SCREENSHOT.ppm PICTURE.bmp   prints the height; exit status 1 when no row matches
"""
import struct
import sys


def read_ppm(path):
    data = open(path, 'rb').read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b'P6' or fields[3] not in (b'255', b'65535'):
        sys.exit('not a binary PPM of 8 or 16 bits: %s' % path)
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    step = 1 if fields[3] == b'255' else 2  # 16-bit samples: the high byte is the 8-bit value

    def pixel(x, y):
        start = 3 * step * (y * width + x)
        return tuple(pixels[start:start + 3 * step:step])

    return width, height, pixel


def read_bmp(path):
    data = open(path, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    colours = struct.unpack_from('<I', data, 46)[0] or (1 << bits if bits <= 8 else 0)
    palette = [tuple(reversed(data[54 + 4 * i:54 + 4 * i + 3])) for i in range(colours)]
    stride = (width * bits + 31) // 32 * 4
    rows = abs(height)

    def pixel(x, y):
        row = offset + stride * (rows - 1 - y if height > 0 else y)
        if bits == 8:
            return palette[data[row + x]]
        if bits == 24:
            return tuple(reversed(data[row + 3 * x:row + 3 * x + 3]))
        sys.exit('unsupported bitmap depth %d' % bits)

    return width, rows, pixel


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    shot_w, shot_h, shot = read_ppm(sys.argv[1])
    pic_w, pic_h, pic = read_bmp(sys.argv[2])
    width = min(shot_w, pic_w)
    for offset in range(0, min(80, shot_h - 4)):
        if all(shot(x, offset + y) == pic(x, y) for y in range(4) for x in range(0, width, 3)):
            print(offset)
            return 0
    print('the picture was not found in the screenshot', file=sys.stderr)
    return 1


if __name__ == '__main__':
    sys.exit(main())
