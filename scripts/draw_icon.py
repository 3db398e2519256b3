#!/usr/bin/env python3
"""Draws the program icon (a yellow note with a folded corner and lines of
text) as res/Tavelin.ico. Every size the program shows is drawn on its own,
so that the tray icon (16 to 32 pixels from 100 % to 200 %) and the large
icon (32 to 64) are never stretched. Run it again after a change; the .ico it
writes is committed so the build needs no Python."""
import struct
import sys
import zlib

YELLOW = (0xFF, 0xE8, 0x40)
EDGE = (0x9A, 0x7B, 0x00)
FOLD = (0xE0, 0xC0, 0x20)
INK = (0x40, 0x40, 0x60)


def pixel(size, x, y):
    m = max(1, size // 16)
    left, top, right, bottom = m, m, size - m - 1, size - m - 1
    fold = size // 4
    if not (left <= x <= right and top <= y <= bottom):
        return None
    # the folded corner at the bottom right
    if x + y > right + bottom - fold:
        return None
    if x + y == right + bottom - fold:
        return EDGE
    if x > right - fold and y > bottom - fold:
        return FOLD
    if x in (left, right) or y in (top, bottom):
        return EDGE
    line_gap = max(3, size // 6)
    if left + 2 * m < x < right - 2 * m - (fold if y > bottom - fold - m else 0):
        if (y - top - 2 * m) % line_gap == 0 and top + 2 * m < y < bottom - m:
            return INK
    return YELLOW


def image(size):
    # Each size as a PNG (RGBA): the system reads those in icons since Windows
    # Vista, and they take a thirtieth of the room of an uncompressed bitmap
    # with its mask, with the same pixels.
    raw = b""
    for y in range(size):
        raw += b"\0"  # no filter
        for x in range(size):
            c = pixel(size, x, y)
            raw += bytes((*c, 255)) if c else b"\0\0\0\0"

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(path):
    sizes = (16, 20, 24, 32, 40, 48, 64)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/Tavelin.ico")
