#!/usr/bin/env python3
"""Draws the two picture resources of the Thumbnail view's mat and writes them as
Deflate-compressed RGB TIFF files into resources/typed/:

  thumbnail-frame.tif   'TIFF' 1000: a frame whose corners are copied unscaled into a cell;
                        an 8-pixel ring (dark outline, light mat, bevel) around a white centre,
                        large enough for the largest cell (pictures over 800 pixels get no frame).
  thumbnail-shadow.tif  'TIFF' 1001: a 400 x 400 picture with a soft 6-pixel drop shadow in the
                        band along its right and bottom edges (offset 6 pixels from the top and
                        left), on white.

Run it again only to change the artwork; the files it writes are part of the sources."""

import os
import struct
import zlib

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "typed")


def write_tiff(path, width, height, pixel):
    raw = bytearray()
    for y in range(height):
        for x in range(width):
            raw += bytes(pixel(x, y))
    strip = zlib.compress(bytes(raw), 9)
    entries = []  # (tag, type, count, value or bytes)
    bps_offset = 8
    strip_offset = bps_offset + 6
    ifd_offset = strip_offset + len(strip) + (len(strip) & 1)
    entries = [
        (256, 3, 1, width),
        (257, 3, 1, height),
        (258, 3, 3, bps_offset),
        (259, 3, 1, 8),      # Deflate
        (262, 3, 1, 2),      # RGB
        (273, 4, 1, strip_offset),
        (277, 3, 1, 3),
        (278, 3, 1, height),
        (279, 4, 1, len(strip)),
        (284, 3, 1, 1),
    ]
    out = bytearray(b"II*\x00" + struct.pack("<I", ifd_offset))
    out += struct.pack("<HHH", 8, 8, 8)
    out += strip
    if len(strip) & 1:
        out += b"\x00"
    out += struct.pack("<H", len(entries))
    for tag, typ, count, value in entries:
        if typ == 3 and count == 1:
            out += struct.pack("<HHIHH", tag, typ, count, value, 0)
        else:
            out += struct.pack("<HHII", tag, typ, count, value)
    out += struct.pack("<I", 0)
    with open(path, "wb") as f:
        f.write(out)


def frame_pixel(size):
    ring = [(0x5A, 0x5A, 0x5A), (0xF4, 0xF4, 0xF4), (0xD9, 0xD4, 0xC8), (0xD9, 0xD4, 0xC8),
            (0xD9, 0xD4, 0xC8), (0xD9, 0xD4, 0xC8), (0x9A, 0x96, 0x8C), (0x6E, 0x6B, 0x64)]

    def pixel(x, y):
        d = min(x, y, size - 1 - x, size - 1 - y)
        return ring[d] if d < len(ring) else (0xFF, 0xFF, 0xFF)
    return pixel


def shadow_pixel(x, y):
    size, band = 400, 6
    shade = [0x8C, 0xA6, 0xBE, 0xD3, 0xE6, 0xF5]
    inside_right = x >= size - band and y >= band
    inside_bottom = y >= size - band and x >= band
    if not (inside_right or inside_bottom):
        return (0xFF, 0xFF, 0xFF)
    d = max(x - (size - band) if x >= size - band else 0, y - (size - band) if y >= size - band else 0)
    v = shade[d]
    return (v, v, v)


if __name__ == "__main__":
    write_tiff(os.path.join(HERE, "thumbnail-frame.tif"), 832, 832, frame_pixel(832))
    write_tiff(os.path.join(HERE, "thumbnail-shadow.tif"), 400, 400, shadow_pixel)
