#!/usr/bin/env python3
"""Draws the device view's and key editor's icons (48 x 48 PNG, white or
accent strokes on transparent). Run once; the PNGs are kept in the tree."""
import math
import struct
import zlib

S = 48


def png(path, rows):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", S, S, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def seg_dist(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    t = 0 if dx == dy == 0 else max(0, min(1, ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - x0 - t * dx, py - y0 - t * dy)


def inside(px, py, shape):
    kind = shape[0]
    if kind == "line":
        _, x0, y0, x1, y1, w = shape
        return seg_dist(px, py, x0, y0, x1, y1) <= w / 2
    if kind == "ring":
        _, cx, cy, r, w = shape
        return abs(math.hypot(px - cx, py - cy) - r) <= w / 2
    if kind == "disc":
        _, cx, cy, r = shape
        return math.hypot(px - cx, py - cy) <= r
    if kind == "rect":
        _, x0, y0, x1, y1 = shape
        return x0 <= px <= x1 and y0 <= py <= y1
    if kind == "frame":
        _, x0, y0, x1, y1, w = shape
        return (x0 <= px <= x1 and y0 <= py <= y1) and not (x0 + w <= px <= x1 - w and y0 + w <= py <= y1 - w)
    return False


def icon(path, shapes, colour=(255, 255, 255)):
    rows = []
    for y in range(S):
        row = []
        for x in range(S):
            hits = 0
            for sx in (0.25, 0.75):
                for sy in (0.25, 0.75):
                    hits += any(inside(x + sx, y + sy, s) for s in shapes)
            row += list(colour) + [int(255 * hits / 4)]
        rows.append(row)
    png(path, rows)


def L(x0, y0, x1, y1, w=4):
    return ("line", x0, y0, x1, y1, w)


icon("title_logo_icon.png", [("frame", 14, 6, 34, 42, 4), L(21, 36, 27, 36)])
icon("topup_icon.png", [L(12, 10, 36, 10), L(24, 16, 24, 40), L(24, 16, 14, 26), L(24, 16, 34, 26)])
icon("topup_selected_icon.png", [L(12, 10, 36, 10), L(24, 16, 24, 40), L(24, 16, 14, 26), L(24, 16, 34, 26)],
     (157, 77, 255))
icon("hide_icon.png", [L(10, 30, 38, 30)])
icon("max_icon.png", [("frame", 10, 10, 38, 38, 4)])
icon("no_max_icon.png", [("frame", 8, 16, 32, 40, 4), L(16, 10, 40, 10), L(40, 10, 40, 32)])
icon("close_icon.png", [L(12, 12, 36, 36), L(36, 12, 12, 36)])
icon("volumn_add_icon.png", [("rect", 8, 18, 16, 30), L(16, 18, 26, 8), L(26, 8, 26, 40), L(16, 30, 26, 40),
                             L(32, 24, 44, 24, 3), L(38, 18, 38, 30, 3)])
icon("volumn_reduce_icon.png", [("rect", 8, 18, 16, 30), L(16, 18, 26, 8), L(26, 8, 26, 40), L(16, 30, 26, 40),
                                L(32, 24, 44, 24, 3)])
icon("install_icon.png", [L(24, 6, 24, 30), L(24, 30, 14, 20), L(24, 30, 34, 20), L(8, 38, 40, 38)])
icon("rotate_icon.png", [("ring", 24, 24, 14, 4), ("rect", 0, 0, 24, 20), L(10, 10, 10, 24), L(10, 24, 22, 24)])
icon("cute_icon.png", [("frame", 6, 12, 42, 38, 4), ("ring", 24, 25, 7, 4), ("rect", 16, 8, 28, 12)])
icon("key_icon.png", [("frame", 4, 12, 44, 36, 3), ("rect", 10, 18, 14, 22), ("rect", 20, 18, 24, 22),
                      ("rect", 30, 18, 34, 22), L(14, 29, 34, 29, 3)])
icon("back.png", [L(30, 10, 16, 24), L(16, 24, 30, 38)])
icon("home.png", [("ring", 24, 24, 12, 4)])
icon("menu.png", [L(12, 14, 36, 14), L(12, 24, 36, 24), L(12, 34, 36, 34)])
for suffix, colour in (("_tessivo", (157, 77, 255)), ("", (184, 126, 28))):
    icon("normal_click%s.png" % suffix, [("ring", 24, 24, 16, 4), ("disc", 24, 24, 6)], colour)
    icon("wheel_click%s.png" % suffix, [("ring", 24, 24, 18, 3), L(24, 10, 24, 18, 3), L(24, 30, 24, 38, 3),
                                        L(10, 24, 18, 24, 3), L(30, 24, 38, 24, 3)], colour)
# The statistics overlay's title-bar toggle: a bar chart.
STATS = [("rect", 8, 26, 14, 40), ("rect", 21, 14, 27, 40), ("rect", 34, 20, 40, 40), L(4, 42, 44, 42, 2)]
icon("stats_icon.png", STATS)
icon("stats_selected_icon.png", STATS, (157, 77, 255))
