#!/usr/bin/env python3
"""Draws the host's two button icons (white on transparent, 32 px) into PNG files beside this script.

Standard library only, so it runs anywhere: each pixel is sampled on a 4x4 grid for smooth edges.
Run it again after changing a shape and commit the PNG files it writes.
"""
import math
import os
import struct
import zlib

SIZE = 32
SUB = 4


def capsule(ax, ay, bx, by, r):
    """Inside-test of a stroke with round ends from (ax, ay) to (bx, by) of half-width r."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) <= r

    return inside


def polygon(points):
    """Inside-test of a convex or concave polygon by the even-odd rule."""
    def inside(x, y):
        hit = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
        return hit

    return inside


def shape(add, cut=()):
    return lambda x, y: any(f(x, y) for f in add) and not any(f(x, y) for f in cut)


PLUS = shape([capsule(7, 16, 25, 16, 2.4), capsule(16, 7, 16, 25, 2.4)])

TRASH = shape(
    add=[
        capsule(5, 8.5, 27, 8.5, 1.8),                                        # lid
        capsule(12.5, 8, 12.5, 4.5, 1.4), capsule(12.5, 4.5, 19.5, 4.5, 1.4),  # handle
        capsule(19.5, 4.5, 19.5, 8, 1.4),
        polygon([(7, 11.5), (25, 11.5), (23, 27.5), (9, 27.5)]),              # can
        capsule(9, 27, 23, 27, 1.2),
    ],
    cut=[capsule(12.2, 15, 12.7, 24.5, 1.1), capsule(16, 15, 16, 24.5, 1.1), capsule(19.8, 15, 19.3, 24.5, 1.1)],
)


def render(inside):
    rows = []
    for py in range(SIZE):
        row = bytearray([0])  # filter type "none"
        for px in range(SIZE):
            hits = sum(inside(px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB)
                       for sy in range(SUB) for sx in range(SUB))
            row += bytes([255, 255, 255, round(255 * hits / (SUB * SUB))])
        rows.append(bytes(row))
    return b"".join(rows)


def png(pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    for name, inside in (("Add.png", PLUS), ("Trash.png", TRASH)):
        with open(os.path.join(here, name), "wb") as out:
            out.write(png(render(inside)))
