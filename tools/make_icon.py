#!/usr/bin/env python3
"""Draws Kavrin's icon, a silver disc crossed by a sound wave, and writes it
as a Windows .ico with 16, 32 and 48 pixel bitmaps and a 256 pixel PNG.

    tools/make_icon.py [OUTPUT]      (default: app/kavrin.ico)

Only the standard library is used, and the output is the same on every run,
so the committed icon can be checked against the script.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
SAMPLES = 4  # per axis, for smooth edges

CENTRE = 0.5
DISC_RADIUS = 0.47
RIM_WIDTH = 0.02
HUB_RADIUS = 0.17
HOLE_RADIUS = 0.07
WAVE_COLOUR = (24, 88, 200)
WAVE_EDGE = (255, 255, 255)


def over(top, bottom):
    """Composites straight-alpha colours (r, g, b, a in 0..1)."""
    ta, ba = top[3], bottom[3]
    a = ta + ba * (1 - ta)
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)) + (a,)


def hue(angle):
    """A soft rainbow, as light breaks on a disc's surface."""
    return tuple(0.5 + 0.5 * math.cos(angle - shift) for shift in (0, 2 * math.pi / 3, 4 * math.pi / 3))


def disc(x, y):
    dx, dy = x - CENTRE, y - CENTRE
    r = math.hypot(dx, dy)
    if r > DISC_RADIUS or r < HOLE_RADIUS:
        return (0.0, 0.0, 0.0, 0.0)
    if r > DISC_RADIUS - RIM_WIDTH or r < HOLE_RADIUS + RIM_WIDTH / 2:
        return (0.45, 0.47, 0.52, 1.0)
    if r < HUB_RADIUS:
        return (0.80, 0.82, 0.86, 1.0)
    angle = math.atan2(dy, dx)
    sheen = 0.78 + 0.22 * math.cos(2 * angle + 0.6)
    tint = hue(2 * angle)
    return tuple(min(1.0, 0.75 * sheen + 0.25 * t * sheen) for t in tint) + (1.0,)


def wave(x, y, size):
    """A sine wave of two periods whose swing grows towards the middle."""
    amplitude = 0.16 * math.sin(math.pi * x)
    phase = 2 * math.pi * 2 * x
    f = CENTRE + amplitude * math.sin(phase)
    slope = 0.16 * math.pi * math.cos(math.pi * x) * math.sin(phase) + amplitude * 4 * math.pi * math.cos(phase)
    distance = abs(y - f) / math.sqrt(1 + slope * slope)
    # Small icons get a stroke of at least about two pixels, so it stays visible.
    half = max(0.045, 1.1 / size)
    edge = half + max(0.02, 0.7 / size)
    if x < 0.04 or x > 0.96:
        return (0.0, 0.0, 0.0, 0.0)
    if distance <= half:
        return tuple(c / 255 for c in WAVE_COLOUR) + (1.0,)
    if distance <= edge:
        return tuple(c / 255 for c in WAVE_EDGE) + (0.85,)
    return (0.0, 0.0, 0.0, 0.0)


def render(size):
    """Rows of (r, g, b, a) bytes, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    c = over(wave(x, y, size), disc(x, y))
                    # Premultiplied while averaging, so edges do not darken.
                    for i in range(3):
                        acc[i] += c[i] * c[3]
                    acc[3] += c[3]
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(255 * acc[i] / acc[3]) for i in range(3)) + (round(255 * alpha),))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def dib(rows):
    """A 32-bit icon bitmap: header of double height, BGRA rows bottom-up, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, blob in images:
        dimension = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, 32, len(blob), offset + len(data))
        data += blob
    return directory + entries + data


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "app", "kavrin.ico")
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(rows) if size >= 256 else dib(rows)))
    with open(output, "wb") as out:
        out.write(ico(images))


if __name__ == "__main__":
    main()
