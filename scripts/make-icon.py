#!/usr/bin/env python3
"""Draws the program's icon (a blue rounded tile with three slider controls) into res/kelvor.ico.

Standard library only. Shapes are signed-distance functions, so every edge is anti-aliased at
every size; the small sizes are stored as 32-bit bitmaps and the 256-pixel one as PNG.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)

TOP = (0x4C, 0x95, 0xD9)      # tile gradient, top
BOTTOM = (0x1D, 0x4F, 0x91)   # tile gradient, bottom
EDGE = (0x16, 0x3D, 0x70)     # tile outline
TRACK = (0xFF, 0xFF, 0xFF)
KNOB = (0xFF, 0xFF, 0xFF)
ACCENT = (0xF2, 0xA1, 0x2C)   # dot in each knob


def rounded_rect_distance(x, y, left, top, right, bottom, radius):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius
    dx, dy = abs(x - cx) - hx, abs(y - cy) - hy
    outside = math.hypot(max(dx, 0.0), max(dy, 0.0))
    return outside + min(max(dx, dy), 0.0) - radius


def capsule_distance(x, y, x0, x1, cy, half_thickness):
    px = min(max(x, x0), x1)
    return math.hypot(x - px, y - cy) - half_thickness


def coverage(distance):
    """Fraction of a pixel covered by a shape, from the distance of its centre to the edge."""
    return min(max(0.5 - distance, 0.0), 1.0)


def over(dst, color, alpha):
    """Composites a straight-alpha colour over a premultiplied pixel."""
    r, g, b, a = dst
    return (color[0] * alpha + r * (1 - alpha), color[1] * alpha + g * (1 - alpha),
            color[2] * alpha + b * (1 - alpha), alpha + a * (1 - alpha))


def render(size):
    s = float(size)
    inset = max(0.5, s * 0.04)
    radius = s * 0.2
    track_half = max(0.6, s * 0.03)
    knob_radius = max(1.9, s * 0.09)
    dot_radius = max(0.9, s * 0.035)
    rows = (0.31, 0.5, 0.69)
    knobs = (0.64, 0.37, 0.55)
    x0, x1 = s * 0.25, s * 0.75
    pixels = []
    for j in range(size):
        row = []
        for i in range(size):
            x, y = i + 0.5, j + 0.5
            pixel = (0.0, 0.0, 0.0, 0.0)
            tile = rounded_rect_distance(x, y, inset, inset, s - inset, s - inset, radius)
            t = min(max((y - inset) / (s - 2 * inset), 0.0), 1.0)
            fill = tuple(TOP[k] + (BOTTOM[k] - TOP[k]) * t for k in range(3))
            pixel = over(pixel, EDGE, coverage(tile))
            pixel = over(pixel, fill, coverage(tile + max(0.8, s / 64)))
            for cy, kx in zip(rows, knobs):
                cy *= s
                pixel = over(pixel, TRACK, 0.6 * coverage(capsule_distance(x, y, x0, x1, cy, track_half)))
                knob = math.hypot(x - kx * s, y - cy)
                pixel = over(pixel, EDGE, 0.35 * coverage(knob - knob_radius - max(0.5, s / 96)))
                pixel = over(pixel, KNOB, coverage(knob - knob_radius))
                pixel = over(pixel, ACCENT, coverage(knob - dot_radius))
            row.append(pixel)
        pixels.append(row)
    return pixels


def straight_rgba(pixel):
    r, g, b, a = pixel
    if a <= 0:
        return 0, 0, 0, 0
    return tuple(int(round(min(255.0, c / a))) for c in (r, g, b)) + (int(round(a * 255)),)


def png_bytes(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(v for p in row for v in straight_rgba(p)) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bmp_bytes(pixels):
    """A 32-bit DIB as icons store it: bottom-up, doubled height, then a 1-bit AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(pixels):
        for p in row:
            r, g, b, a = straight_rgba(p)
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for i, p in enumerate(row):
            if straight_rgba(p)[3] == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + bytes(colour) + bytes(mask)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "kelvor.ico")
    images = [(size, png_bytes(render(size)) if size >= 256 else bmp_bytes(render(size)))
              for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(directory + entries + b"".join(data for _, data in images))
    if len(sys.argv) > 2:  # optional preview of the large image
        with open(sys.argv[2], "wb") as f:
            f.write(png_bytes(render(256)))


if __name__ == "__main__":
    main()
