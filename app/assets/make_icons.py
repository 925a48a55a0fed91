#!/usr/bin/env python3
"""Draws the two brand icons (256 x 256 PNG): a rounded square in the brand's
colours with a white phone outline. Run once; the PNGs are kept in the tree."""
import struct
import zlib

SIZE = 256


def png(path, pixels):
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and x0 <= x <= x1 and y0 <= y <= y1


def coverage(x, y, *shape):
    hits = 0
    for sx in (0.25, 0.75):
        for sy in (0.25, 0.75):
            hits += inside_round_rect(x + sx, y + sy, *shape)
    return hits / 4.0


def icon(path, top, bottom):
    rows = []
    for y in range(SIZE):
        row = []
        t = y / (SIZE - 1)
        base = [int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)]
        for x in range(SIZE):
            a = coverage(x, y, 8, 8, 248, 248, 56)
            outer = coverage(x, y, 84, 48, 172, 208, 18)
            inner = coverage(x, y, 96, 66, 160, 178, 6)
            button = coverage(x, y, 116, 186, 140, 196, 5)
            white = max(min(outer, 1 - inner), button)
            rgb = [int(base[i] * (1 - white) + 255 * white) for i in range(3)]
            row += rgb + [int(255 * a)]
        rows.append(row)
    png(path, rows)


icon("icon.png", (139, 92, 246), (91, 33, 182))
icon("iconcorvo.png", (245, 196, 81), (196, 132, 29))
