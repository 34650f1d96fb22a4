#!/usr/bin/env python3
"""Draws Roamwise's two icons and writes them as 256-colour .ico files.

    python3 scripts/make_icons.py [OUTPUT_DIR]   (default: resources/)

roamwise.ico   32 x 32: the application icon, a globe with a profile card.
magnifier.ico  48 x 48: the picture of the "view current settings" button.
               The glass fills the middle 24 pixels: the button face is only
               25 x 25 pixels at 96 DPI and shows the centre of the icon, so
               everything outside is transparent margin.

Standard library only. Each shape is sampled 4 x 4 times per pixel; a pixel
is opaque when at least half of its samples hit a shape, and its colour is
the average of the hits, mapped to the nearest palette entry.
"""

import math
import os
import struct
import sys

SUB = 4  # samples per pixel along each axis


def palette():
    """A 256-entry palette: the 6x6x6 colour cube, a grey ramp, then a few
    tones the drawings use a lot, so that they map exactly."""
    pal = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                pal.append((r * 51, g * 51, b * 51))
    for i in range(24):
        v = 8 + i * 10
        pal.append((v, v, v))
    extra = [
        (170, 215, 245), (120, 185, 235), (205, 235, 250), (60, 120, 190),
        (40, 80, 140), (245, 150, 40), (200, 110, 20), (255, 190, 90),
        (90, 160, 80), (50, 110, 50), (250, 250, 240), (30, 60, 110),
    ]
    pal.extend(extra)
    while len(pal) < 256:
        pal.append((0, 0, 0))
    return pal[:256]


PALETTE = palette()


def nearest(colour):
    r, g, b = colour
    best, best_d = 0, None
    for i, (pr, pg, pb) in enumerate(PALETTE):
        d = (pr - r) ** 2 + (pg - g) ** 2 + (pb - b) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
            if d == 0:
                break
    return best


def render(size, shade):
    """shade(x, y) -> (r, g, b) or None, in pixel units with subpixel
    coordinates. Returns rows of palette indexes, None = transparent."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for sy in range(SUB):
                for sx in range(SUB):
                    c = shade(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                    if c is not None:
                        hits.append(c)
            if len(hits) * 2 < SUB * SUB:
                row.append(None)
            else:
                n = len(hits)
                avg = tuple(round(sum(h[i] for h in hits) / n) for i in range(3))
                row.append(nearest(avg))
        rows.append(row)
    return rows


def seg_dist(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy)), t


def magnifier(x, y):
    # Glass centred on the icon's middle: the lens up and left, the handle
    # down and right, the whole drawing spanning pixels 13..35.
    cx, cy, r = 21.5, 21.5, 6.9
    d = math.hypot(x - cx, y - cy)
    # Handle: a thick orange bar at 45 degrees out of the rim.
    hd, t = seg_dist(x, y, cx + 5.6, cy + 5.6, 32.6, 32.6)
    if d > r + 1.4 and hd <= 2.4:
        edge = hd > 1.5
        light = (t < 0.9) and (x - y) < -0.6
        if edge:
            return (200, 110, 20)
        return (255, 190, 90) if light else (245, 150, 40)
    if d <= r - 0.2:
        # Light-blue lens with a highlight up and left.
        if math.hypot(x - (cx - 2.8), y - (cy - 2.8)) < 2.0:
            return (250, 250, 240)
        return (170, 215, 245) if (x + y) > 2 * cx - 4 else (205, 235, 250)
    if d <= r + 1.4:
        return (40, 80, 140)  # rim
    return None


def globe_icon(x, y):
    # A blue globe with meridians, and an orange profile card in front.
    card = (14.5 <= x <= 30.5) and (17.5 <= y <= 29.5)
    if card:
        if x < 15.5 or x > 29.5 or y < 18.5 or y > 28.5:
            return (200, 110, 20)
        if 19.5 <= y <= 21.5 and 17.0 <= x <= 28.0:
            return (200, 110, 20)
        if (23.5 <= y <= 24.5 or 26.0 <= y <= 27.0) and 17.0 <= x <= 25.0:
            return (40, 80, 140)
        return (255, 190, 90)
    cx, cy, r = 14.0, 14.0, 12.5
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    if d > r - 1.1:
        return (30, 60, 110)
    u, v = (x - cx) / r, (y - cy) / r
    # Meridians and parallels as thin darker lines.
    lines = False
    for k in (0.0, 0.55):
        w = math.sqrt(max(0.0, 1 - v * v)) * k
        if abs(abs(u) - w) < 0.06:
            lines = True
    if abs(v) < 0.05 or abs(abs(v) - 0.5) < 0.05:
        lines = True
    if lines:
        return (40, 80, 140)
    # Land in green, sea in blue.
    land = (u + 0.35) ** 2 + (v + 0.3) ** 2 < 0.12 or (u - 0.2) ** 2 * 2 + (v - 0.35) ** 2 < 0.08
    if land:
        return (90, 160, 80)
    light = (u + 0.4) ** 2 + (v + 0.4) ** 2 < 0.25
    return (120, 185, 235) if light else (60, 120, 190)


def ico_bytes(rows):
    """One 8-bit image with palette and AND mask, as a whole .ico file."""
    size = len(rows)
    xor_stride = (size + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytes(0 if p is None else p for p in row)
        xor += line + b"\0" * (xor_stride - size)
        bits = bytearray(and_stride)
        for i, p in enumerate(row):
            if p is None:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    image = header + pal + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name, size, shade in (("roamwise.ico", 32, globe_icon),
                              ("magnifier.ico", 48, magnifier)):
        path = os.path.join(out, name)
        with open(path, "wb") as f:
            f.write(ico_bytes(render(size, shade)))
        print(path)


if __name__ == "__main__":
    main()
