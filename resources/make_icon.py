#!/usr/bin/env python3
"""Draws the program's icon and writes ostrel.ico (and a PNG preview).

The motif: a blue page with a line of text that runs to the right edge and
folds back under itself as an arrow, above a shorter line: a long line being
wrapped. Each size is drawn on its own, with strokes a little heavier at the
small sizes so that the fold still reads at 16 pixels.

Usage: make_icon.py [output.ico [preview.png]]
"""
import math
import struct
import sys
import zlib

SIZES = [256, 48, 32, 24, 16]
# Stroke width in units of the 256-unit drawing, per image size.
STROKE = {256: 24, 48: 28, 32: 30, 24: 32, 16: 32}
# Where the long line, the folded line and the short line lie; at the small
# sizes they sit on pixel centres, farther apart, so that they stay apart.
LARGE = {"top": 80, "fold": 152, "bottom": 198, "head": 26}
SMALL = {"top": 72, "fold": 152, "bottom": 216, "head": 8}
TOP = (0x3B, 0x82, 0xF6)
BOTTOM = (0x1D, 0x4E, 0xD8)
EDGE = (0x1E, 0x3A, 0x8A)


def rounded_rect_distance(x, y, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0), max(dy, 0))
    return outside + min(max(dx, dy), 0) - r


def segment_distance(x, y, ax, ay, bx, by):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - ax - t * vx, y - ay - t * vy)


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (x - q[0]) * (p[1] - q[1]) - (p[0] - q[0]) * (y - q[1])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return not ((s1 < 0 or s2 < 0 or s3 < 0) and (s1 > 0 or s2 > 0 or s3 > 0))


def ink(x, y, stroke, g):
    """True where the white strokes are."""
    h = stroke / 2
    top, fold = g["top"], g["fold"]
    # The long line, running to the fold.
    if segment_distance(x, y, 62, top, 170, top) <= h:
        return True
    # The fold: a half circle on the right, from the long line down to the arrow.
    cx, cy, r = 170, (top + fold) / 2, (fold - top) / 2
    if x >= cx and abs(math.hypot(x - cx, y - cy) - r) <= h:
        return True
    # The folded part, going back left, and its arrow head.
    if segment_distance(x, y, 170, fold, 122, fold) <= h:
        return True
    head = g["head"] + stroke * 0.45
    if in_triangle(x, y, (86, fold), (126, fold - head), (126, fold + head)):
        return True
    # The next, shorter line.
    return segment_distance(x, y, 62, g["bottom"], 150, g["bottom"]) <= h


def render(size):
    samples = 4 if size > 48 else 6
    stroke = STROKE[size]
    geometry = SMALL if size <= 24 else LARGE
    scale = 256 / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            cover = white = edge = 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    d = rounded_rect_distance(x, y, 12, 12, 244, 244, 44)
                    if d > 0:
                        continue
                    cover += 1
                    if ink(x, y, stroke, geometry):
                        white += 1
                    elif d > -max(6, scale):
                        edge += 1
            n = samples * samples
            if cover == 0:
                row.append((0, 0, 0, 0))
                continue
            t = py / max(1, size - 1)
            base = [TOP[i] + (BOTTOM[i] - TOP[i]) * t for i in range(3)]
            blue = cover - white - edge
            rgb = [(base[i] * blue + EDGE[i] * edge + 255 * white) / cover for i in range(3)]
            row.append((round(rgb[0]), round(rgb[1]), round(rgb[2]), round(255 * cover / n)))
        pixels.append(row)
    return pixels


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + colour + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "ostrel.ico"
    preview = sys.argv[2] if len(sys.argv) > 2 else None
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((size, png(pixels) if size == 256 else dib(pixels)))
        if size == 256 and preview:
            with open(preview, "wb") as f:
                f.write(png(pixels))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        dim = 0 if size == 256 else size
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    data += b"".join(blob for _, blob in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main()
