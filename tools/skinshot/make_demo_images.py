#!/usr/bin/env python3
"""Writes the pictures of the demo skin (skin/demo/*.png).

The pictures are drawn here from simple shapes so the project ships only
its own artwork. Run from anywhere: python3 tools/skinshot/make_demo_images.py
"""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "skin", "demo")


def write_png(path, w, h, pixel):
    rows = bytearray()
    for y in range(h):
        rows.append(0)
        for x in range(w):
            r, g, b, a = pixel(x, y)
            rows += bytes((r, g, b, a))

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(png)
    os.replace(tmp, path)


def rounded_inside(x, y, w, h, r, inset=0.0):
    """Signed distance to a rounded rectangle (negative inside)."""
    cx = min(max(x + 0.5, inset + r), w - inset - r)
    cy = min(max(y + 0.5, inset + r), h - inset - r)
    return math.hypot(x + 0.5 - cx, y + 0.5 - cy) - r


def cover(d):
    return max(0.0, min(1.0, 0.5 - d))


def key(x, y):
    d = rounded_inside(x, y, 40, 40, 6, 1.5)
    edge = cover(d) - cover(d + 1.5)
    fill = cover(d + 1.5)
    a = int(255 * max(edge * 0.55, fill * 0.9))
    shade = 48 if edge > fill else 38
    return (shade, shade + 4, shade + 12, a)


def light(x, y):
    d = rounded_inside(x, y, 40, 40, 6, 4)
    glow = cover(d) * 0.9 + max(0.0, 1 - max(d, 0) / 4) * 0.3 * (1 - cover(d))
    return (255, 255, 255, int(255 * min(1.0, glow)))


def dot(color):
    def f(x, y):
        d = math.hypot(x + 0.5 - 33, y + 0.5 - 7) - 3.5
        return color + (int(255 * cover(d)),)
    return f


def logo(x, y):
    d = math.hypot(x + 0.5 - 32, y + 0.5 - 32)
    ring = cover(d - 28) - cover(d - 22)
    core = cover(d - 12)
    a = max(ring, core)
    return (61, 165, 255, int(255 * a))


def landscape(x, y):
    # Calm bands of the accent hue, so panning shows which columns are visible.
    t = x / 399.0
    hill = 60 + 25 * math.sin(x / 37.0) + 10 * math.sin(x / 11.0)
    if y > hill:
        return (int(30 + 20 * t), int(60 + 60 * t), int(90 + 80 * t), 255)
    sky = y / 120.0
    return (int(24 + 20 * sky), int(28 + 30 * sky), int(40 + 60 * sky), 255)


def shadow(x, y):
    return (61, 165, 255, int(90 * (y / 19.0)))


def main():
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "key.png"), 40, 40, key)
    write_png(os.path.join(OUT, "light.png"), 40, 40, light)
    write_png(os.path.join(OUT, "key_set.png"), 40, 40, dot((61, 165, 255)))
    write_png(os.path.join(OUT, "key_unset.png"), 40, 40, dot((110, 116, 128)))
    write_png(os.path.join(OUT, "logo.png"), 64, 64, logo)
    write_png(os.path.join(OUT, "landscape.png"), 400, 120, landscape)
    write_png(os.path.join(OUT, "shadow.png"), 200, 20, shadow)


if __name__ == "__main__":
    main()
