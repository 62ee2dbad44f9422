#!/usr/bin/env python3
"""Draws the application icon, a small car on a chequered badge, and writes app/gridwright.ico.

Six images (16, 24, 32, 48, 72 and 128 pixels square), each a 32-bit BGRA DIB with its AND mask,
the form every version of the icon loader reads. Shapes are sampled 4 x 4 times a pixel for
smooth edges. Standard library only:  python3 tools/make_icon.py [output.ico]
"""

import os
import struct
import sys

SIZES = (16, 24, 32, 48, 72, 128)
SAMPLES = 4


def rounded_rect(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies in the rectangle with rounded corners."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def circle(x, y, cx, cy, r):
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def colour_at(x, y):
    """RGBA of the artwork at (x, y), both in 0..1; None where transparent. Later layers win."""
    # Badge: a rounded square of dark and light squares, six a side, with a blue-grey rim.
    if not rounded_rect(x, y, 0.02, 0.02, 0.98, 0.98, 0.16):
        return None
    colour = (52, 70, 92)
    if rounded_rect(x, y, 0.07, 0.07, 0.93, 0.93, 0.12):
        cell = (int((x - 0.07) / (0.86 / 6)) + int((y - 0.07) / (0.86 / 6))) % 2
        colour = (228, 232, 238) if cell == 0 else (40, 44, 52)
    # Car seen from the side: body, cabin, window, wheels with hubs.
    if rounded_rect(x, y, 0.12, 0.46, 0.88, 0.68, 0.07):
        colour = (214, 40, 36)
    if rounded_rect(x, y, 0.30, 0.32, 0.66, 0.52, 0.07):
        colour = (214, 40, 36)
    if rounded_rect(x, y, 0.36, 0.36, 0.60, 0.48, 0.03):
        colour = (150, 214, 240)
    if rounded_rect(x, y, 0.14, 0.52, 0.26, 0.56, 0.015):
        colour = (255, 214, 80)  # headlamp stripe
    for cx in (0.30, 0.70):
        if circle(x, y, cx, 0.69, 0.105):
            colour = (20, 20, 24)
        if circle(x, y, cx, 0.69, 0.045):
            colour = (180, 186, 196)
    return colour


def render(size):
    """Rows from the top of (b, g, r, a) tuples."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size,
                                  (py + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            total[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                r, g, b = (round(t / hits) for t in total)
                row.append((b, g, r, round(255 * hits / (SAMPLES * SAMPLES))))
        rows.append(row)
    return rows


def dib_image(size):
    """BITMAPINFOHEADER (height doubled for the mask), BGRA rows from the bottom, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "app", "gridwright.ico")
    images = [dib_image(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        dim = size if size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
