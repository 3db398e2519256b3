#!/usr/bin/env python3
"""Draws the pictures of the note window's tool-bar buttons.

Writes res/toolbar.bmp (one strip, 16 x 16 pixels per picture, 8-bit, magenta
is transparent), the same strip drawn at 20, 24, 28 and 32 pixels
(res/toolbar_20.bmp ... res/toolbar_32.bmp, for screens at 125 % to 200 %)
and res/toolbar_images.h (the index of every picture). All are committed so
the build needs no Python; run this again after changing a picture:

    python3 scripts/draw_toolbar.py [--preview preview.png]

The pictures are pixel art kept as text, one character per pixel, so that a
change is a readable diff. A picture is a stack of layers; "." in a layer lets
the layer below show through. All pictures share one small palette and the
same dark outline, which keeps them looking like one family on the grey bar.

The larger sizes are drawn from the same art, pixel for pixel: each pixel
becomes one or two, never a blend, so every size is as sharp as the first.
Where a size is not twice the art, the rows and columns that grow are chosen
in the plain parts of a picture, so that an outline stays one pixel thin
instead of turning uneven.
"""
import argparse
import math
import os
import struct
import sys
import zlib

SIZE = 16
# The sizes for 100, 125, 150, 175 and 200 %; the program looks for each
# strip under the resource id after the previous one.
SIZES = (16, 20, 24, 28, 32)
TRANSPARENT = (255, 0, 255)
OUTLINE = "K"

PALETTE = {
    ".": TRANSPARENT,
    "K": (0x28, 0x28, 0x30),  # outline
    "W": (0xFF, 0xFF, 0xFF),
    "g": (0xDC, 0xDC, 0xDC),
    "G": (0xA8, 0xA8, 0xA8),
    "d": (0x68, 0x68, 0x70),
    "k": (0x60, 0x70, 0x90),  # lines of text on paper
    "Y": (0xFF, 0xE8, 0x40),  # the note's yellow, as in the program icon
    "y": (0xD8, 0xB0, 0x18),
    "R": (0xE8, 0x28, 0x20),
    "N": (0x40, 0xC0, 0x30),
    "B": (0x38, 0x68, 0xD8),
    "L": (0xA0, 0xD0, 0xFF),
    "O": (0xF8, 0xB0, 0x50),
    "o": (0xE0, 0x80, 0x20),
    "w": (0x98, 0x58, 0x20),
    "T": (0xF0, 0xD0, 0xA0),
    "P": (0xF0, 0x98, 0xA8),
}

# A yellow note with a dog-eared corner; the pictures for the note commands
# start from it so that they read as "this note".
NOTE = [
    ".KKKKKKKKK......",
    ".KYYYYYYYKK.....",
    ".KYYYYYYYKyK....",
    ".KYYYYYYYKyyK...",
    ".KYYYYYYYKKKKK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KYYYYYYYYYYYK..",
    ".KKKKKKKKKKKKK..",
]

NOTE_TEXT = [
    "................",
    "................",
    "...kkkkk........",
    "................",
    "...kkkkk........",
    "................",
    "...kkkkkkkkk....",
    "................",
    "...kkkkkkkkk....",
    "................",
    "...kkkkkkkkk....",
    "................",
    "...kkkkkkk......",
    "................",
    "................",
    "................",
]

PLUS = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..........KKKK..",
    "..........KNNK..",
    "........KKKNNKKK",
    "........KNNNNNNK",
    "........KNNNNNNK",
    "........KKKNNKKK",
    "..........KNNK..",
    "..........KKKK..",
]

PENCIL = [
    ".............K..",
    "............KPK.",
    "...........KGPPK",
    "..........KOGGK.",
    ".........KOowK..",
    "........KOowK...",
    ".......KOowK....",
    "......KOowK.....",
    ".....KOowK......",
    "....KOowK.......",
    "...KTTTK........",
    "...KdK..........",
    "...K............",
    "................",
    "................",
    "................",
]

CROSS = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    ".......KK....KK.",
    "......KRRK..KRRK",
    "......KRRRKKRRRK",
    ".......KRRRRRRK.",
    "........KRRRRK..",
    "........KRRRRK..",
    ".......KRRRRRRK.",
    "......KRRRKKRRRK",
    "......KRRK..KRRK",
    ".......KK....KK.",
]

ALARM = [
    ".KKK..KKK..KKK..",
    "KRRRK..K..KRRRK.",
    "KRRKKKKKKKKKRRK.",
    "KRKKRRRRRRRKKRK.",
    ".KKRWWWWWWWRKK..",
    ".KRWWWWKWWWWRK..",
    "KRWWWWWKWWWWWRK.",
    "KRWWWWWKWWWWWRK.",
    "KRWWWWWKKKWWWRK.",
    "KRWWWWWWWWWWWRK.",
    "KRWWWWWWWWWWWRK.",
    ".KRWWWWWWWWWRK..",
    ".KKRWWWWWWWRKK..",
    "..KKRRRRRRRKK...",
    "..K.KKKKKKK.K...",
    ".KK.........KK..",
]

PRINTER = [
    "....KKKKKKKK....",
    "....KWWWWWWK....",
    "....KWWWWWWK....",
    "..KKKKKKKKKKKK..",
    ".KggggggggggggK.",
    "KggggggggggggggK",
    "KggggggggggNNggK",
    "KGGGGGGGGGGGGGGK",
    "KGGKKKKKKKKKKGGK",
    "KdKWWWWWWWWWWKdK",
    "KKKWkkkkkkkkWKKK",
    "..KWWWWWWWWWWK..",
    "..KWkkkkkkWWWK..",
    "..KWWWWWWWWWWK..",
    "..KKKKKKKKKKKK..",
    "................",
]

PAGES = [
    ".KKKKKKKKK......",
    ".KWWWWWWWK......",
    ".KWkkkkkWK......",
    ".KWWWWWWWK......",
    ".KWkkkkkWK......",
    ".KWWWWKKKKKKKKK.",
    ".KWkkkKWWWWWWWK.",
    ".KWWWWKWkkkkkWK.",
    ".KWkkkKWWWWWWWK.",
    ".KWWWWKWkkkkkWK.",
    ".KKKKKKWWWWWWWK.",
    "......KWkkkkkWK.",
    "......KWWWWWWWK.",
    "......KWkkkkkWK.",
    "......KWWWWWWWK.",
    "......KKKKKKKKK.",
]

TOOLBAR_OFF = [
    "................",
    "................",
    "..............KK",
    ".............KRK",
    "KKKKKKKKKKKKKRRK",
    "KggggggggggKRRKK",
    "KgKKKgKKKgKRRKgK",
    "KgKBKgKNKKRRKggK",
    "KgKKKgKKKRRKKggK",
    "KgggggggKRRKgggK",
    "KGGGGGGKRRKGGGGK",
    "KKKKKKKRRKKKKKKK",
    ".....KRRK.......",
    "....KRRK........",
    "....KKK.........",
    "................",
]

DOOR = [
    ".KKKKKKKKK......",
    ".KwKdddddK......",
    ".KowKddddK......",
    ".KoowKdddK......",
    ".KoowKdddK.K....",
    ".KoowKdddK.KK...",
    ".KoowKKKKKKKNK..",
    ".KoowKNNNNNNNNK.",
    ".KoYwKNNNNNNNNNK",
    ".KoowKNNNNNNNNK.",
    ".KoowKKKKKKKNK..",
    ".KoowKdddK.KK...",
    ".KoowKdddK.K....",
    ".KooKddddK......",
    ".KoKdddddK......",
    ".KKKKKKKKK......",
]

FLOPPY = [
    "KKKKKKKKKKKKKK..",
    "KBBKggggggdgKBK.",
    "KBBKggggggdgKBBK",
    "KBBKggggggdgKBBK",
    "KBBKggggggdgKBBK",
    "KBBKKKKKKKKKKBBK",
    "KBBBBBBBBBBBBBBK",
    "KBBBBBBBBBBBBBBK",
    "KBKKKKKKKKKKKKBK",
    "KBKWWWWWWWWWWKBK",
    "KBKWkkkkkkkkWKBK",
    "KBKWWWWWWWWWWKBK",
    "KBKWkkkkkkkkWKBK",
    "KBKWWWWWWWWWWKBK",
    "KBKWWWWWWWWWWKBK",
    "KKKKKKKKKKKKKKKK",
]

SCISSORS = [
    "..KK........KK..",
    "..KgK......KgK..",
    "...KgK....KgK...",
    "...KggK..KggK...",
    "....KggKKggK....",
    ".....KggggK.....",
    "......KgdK......",
    "......KdgK......",
    ".....KRKKRK.....",
    "....KRK..KRK....",
    "..KKRK....KRKK..",
    ".KRRRK....KRRRK.",
    "KRKKRK....KRKKRK",
    "KRKKRK....KRKKRK",
    ".KRRK......KRRK.",
    "..KK........KK..",
]

CLIPBOARD = [
    ".....KKKK.......",
    "..KKKgGGgKKK....",
    ".KooKKKKKKooK...",
    ".KoWWWWWWWWoK...",
    ".KoWkkkkkkWoK...",
    ".KoWWWWWWWWoK...",
    ".KoWkkkKKKKKKKK.",
    ".KoWWWWKWWWWWWK.",
    ".KoWkkkKWkkkkWK.",
    ".KoWWWWKWWWWWWK.",
    ".KoWkkkKWkkkkWK.",
    ".KoWWWWKWWWWWWK.",
    ".KooooowWkkkkWK.",
    ".KKKKKKKWWWWWWK.",
    ".......KWWWWWWK.",
    ".......KKKKKKKK.",
]

PICTURE = [
    "................",
    "KKKKKKKKKKKKKKKK",
    "KLLLLLLLLLLLLLLK",
    "KLLLLLLLLLLYYLLK",
    "KLLLLLLLLLYYYYLK",
    "KLLLLLLLLLYYYYLK",
    "KLLLLKLLLLLYYLLK",
    "KLLLKWKLLLLLLLLK",
    "KLLKWNNKLLLLLLLK",
    "KLKNNNNNKLLLKLLK",
    "KKNNNNNNNKLKNKLK",
    "KNNNNNNNNNKNNNKK",
    "KNNNNNNNNNNNNNNK",
    "KNNNNNNNNNNNNNNK",
    "KKKKKKKKKKKKKKKK",
    "................",
]

LETTER_A = [
    "................",
    "................",
    ".......KK.......",
    ".......KKK......",
    "......KKKK......",
    "......KKKKK.....",
    ".....KK.KKK.....",
    ".....KK.KKKK....",
    "....KK...KKK....",
    "....KKKKKKKK....",
    "...KKKKKKKKKK...",
    "...KK.....KKK...",
    "..KK......KKKK..",
    "..KK.......KKK..",
    "KKKKKK...KKKKKKK",
    "................",
]

BULLETS = [
    "................",
    ".KK.............",
    "KBBK..KKKKKKKKK.",
    "KBBK............",
    ".KK.............",
    "................",
    ".KK.............",
    "KBBK..KKKKKKKKK.",
    "KBBK............",
    ".KK.............",
    "................",
    ".KK.............",
    "KBBK..KKKKKKKKK.",
    "KBBK............",
    ".KK.............",
    "................",
]


def lines(starts_and_lengths):
    rows = ["." * SIZE for _ in range(SIZE)]
    for y, (start, length) in zip((2, 5, 8, 11, 14), starts_and_lengths):
        rows[y] = "." * start + "K" * length + "." * (SIZE - start - length)
    return rows


# The same five lines in every alignment picture, so that the three differ
# only in where the lines end.
LINE_LENGTHS = (14, 8, 12, 6, 10)
ALIGN_LEFT = lines([(1, n) for n in LINE_LENGTHS])
ALIGN_CENTER = lines([(1 + (14 - n) // 2, n) for n in LINE_LENGTHS])
ALIGN_RIGHT = lines([(15 - n, n) for n in LINE_LENGTHS])

PALETTE_BOARD = [
    "................",
    "....KKKKKKKK....",
    "..KKTTTTTTTTKK..",
    ".KTTTKKKTTKKTTK.",
    ".KTTKYYYKKRRKTK.",
    "KTTTKYYYKKRRKTTK",
    "KTTTKYYYKTKKTTTK",
    "KTTTTKKKTTTKKTTK",
    "KTKKTTTTTTKBBKTK",
    "KK..KTTTTTKBBKTK",
    "KK..KTTTTTTKKTTK",
    "KTKKTTKKTTTTTTK.",
    ".KTTTKNNKTTTTK..",
    "..KKTKNNKTKKK...",
    "....KKKKKK......",
    "................",
]

MARKER = [
    "..........KKK...",
    ".........KdddK..",
    "........KdddddK.",
    "........KKdddK..",
    ".......KYYKKK...",
    "......KYYYYK....",
    ".....KYYYYyK....",
    "....KYYYYyK.....",
    "...KWYYYyK......",
    "...KKYYyK.......",
    "...KyKKK........",
    "..KyyK..........",
    ".KKKK...........",
    "YYYYYYYYYYYYYYY.",
    "YkkkkkkkkkkkkkY.",
    "YYYYYYYYYYYYYYY.",
]

# Order: the view bar's buttons left to right, then those only the edit bar
# has. The header keeps this order; the bitmap is a strip in it.
PICTURES = [
    ("NEW", [NOTE, PLUS]),
    ("EDIT", [NOTE, NOTE_TEXT, PENCIL]),
    ("ALARM", [ALARM]),
    ("DELETE", [NOTE, NOTE_TEXT, CROSS]),
    ("PRINT", [PRINTER]),
    ("COPY", [PAGES]),
    ("BARS_OFF", [TOOLBAR_OFF]),
    ("EXIT", [DOOR]),
    ("SAVE", [FLOPPY]),
    ("CUT", [SCISSORS]),
    ("PASTE", [CLIPBOARD]),
    ("OBJECT", [PICTURE]),
    ("FONT", [LETTER_A]),
    ("BULLETS", [BULLETS]),
    ("ALIGN_LEFT", [ALIGN_LEFT]),
    ("ALIGN_CENTER", [ALIGN_CENTER]),
    ("ALIGN_RIGHT", [ALIGN_RIGHT]),
    ("NOTE_COLOR", [PALETTE_BOARD]),
    ("HIGHLIGHT", [MARKER]),
]


def compose(name, layers):
    """The picture's pixels and, beside them, where its outline is."""
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    outline = [[False] * SIZE for _ in range(SIZE)]
    for layer in layers:
        if len(layer) != SIZE or any(len(row) != SIZE for row in layer):
            sys.exit(f"{name}: every layer must be {SIZE} rows of {SIZE} characters")
        for y, row in enumerate(layer):
            for x, ch in enumerate(row):
                if ch not in PALETTE:
                    sys.exit(f"{name}: unknown colour {ch!r} at {x},{y}")
                if ch != ".":
                    pixels[y][x] = PALETTE[ch]
                    outline[y][x] = ch == OUTLINE
    return pixels, outline


def grown_lines(outline_counts, size):
    """Which of the 16 rows (or columns) are drawn twice to reach size: in
    every run of lines the same number grow, and within a run those with the
    least outline, so that lines of the outline keep their width."""
    extra = size - SIZE
    if extra == 0:
        return set()
    if extra == SIZE:
        return set(range(SIZE))
    run = SIZE // math.gcd(SIZE, extra)
    per_run = extra * run // SIZE
    grown = set()
    for start in range(0, SIZE, run):
        lines = range(start, start + run)
        middle = start + (run - 1) / 2
        ranked = sorted(lines, key=lambda i: (outline_counts[i], abs(i - middle), i))
        grown.update(ranked[:per_run])
    return grown


def scaled(picture, size):
    pixels, outline = picture
    rows = grown_lines([sum(outline[y]) for y in range(SIZE)], size)
    cols = grown_lines([sum(outline[y][x] for y in range(SIZE)) for x in range(SIZE)], size)
    xs = [x for x in range(SIZE) for _ in range(2 if x in cols else 1)]
    ys = [y for y in range(SIZE) for _ in range(2 if y in rows else 1)]
    assert len(xs) == size and len(ys) == size
    return [[pixels[y][x] for x in xs] for y in ys]


def strip(size=SIZE):
    """Rows of RGB tuples, top row first, all pictures side by side."""
    pictures = [scaled(compose(name, layers), size) for name, layers in PICTURES]
    return [[p for pic in pictures for p in pic[y]] for y in range(size)]


def bmp_bytes(rows):
    """An 8-bit DIB: the pictures have few colours, and every size is in the
    program, so the strips stay small."""
    width, height = len(rows[0]), len(rows)
    colours = sorted({p for row in rows for p in row})
    index = {c: i for i, c in enumerate(colours)}
    stride = (width + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # DIBs are stored bottom-up
        line = bytes(index[p] for p in row)
        data += line + b"\0" * (stride - len(line))
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835,
                       len(colours), 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + palette + bytes(data)


def strip_file(size):
    return "toolbar.bmp" if size == SIZE else f"toolbar_{size}.bmp"


def header_text():
    out = [
        "#pragma once",
        "// Index of each picture in toolbar.bmp (16 x 16 each, magenta is transparent)",
        "// and in its larger drawings toolbar_20.bmp ... toolbar_32.bmp.",
        "// Written by scripts/draw_toolbar.py: change the script and run it again.",
    ]
    out += [f"#define IMG_{name} {i}" for i, (name, _) in enumerate(PICTURES)]
    out.append(f"#define IMG_COUNT {len(PICTURES)}")
    return "\n".join(out) + "\n"


def png_bytes(rows):
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)

    def chunk(kind, body):
        crc = zlib.crc32(kind + body)
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc)

    ihdr = struct.pack(">IIBBBBB", len(rows[0]), len(rows), 8, 2, 0, 0, 0)
    body = chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    return b"\x89PNG\r\n\x1a\n" + body


# The two note bars as they stand, for the preview.
VIEW_BAR = ["NEW", "EDIT", "ALARM", "DELETE", "PRINT", "COPY", "BARS_OFF", "EXIT"]
EDIT_BAR = ["SAVE", "DELETE", "ALARM", "COPY", "CUT", "PASTE", "OBJECT", "FONT", "BULLETS",
            "ALIGN_LEFT", "ALIGN_CENTER", "ALIGN_RIGHT", "NOTE_COLOR", "HIGHLIGHT"]


def preview(strips, scale=3):
    """Both bars at every size, on the light button face, each picture in its
    button (21 x 21 at 96 dpi, scaled like the program scales it), then the
    smallest enlarged."""
    index = {name: i for i, (name, _) in enumerate(PICTURES)}
    face = (0xF0, 0xF0, 0xF0)
    blocks = []
    for size, rows in strips:
        button = (21 * size + 8) // 16
        margin = (button - size) // 2
        width = 4 + button * len(EDIT_BAR)
        for bar in (VIEW_BAR, EDIT_BAR):
            block = [[face] * width for _ in range(button + 4)]
            for slot, name in enumerate(bar):
                left, top = 2 + slot * button + margin, 2 + margin
                for y in range(size):
                    for x in range(size):
                        p = rows[y][index[name] * size + x]
                        if p != TRANSPARENT:
                            block[top + y][left + x] = p
            blocks.append(block)
    small = blocks[0] + blocks[1]
    big = [[p for p in row for _ in range(scale)] for row in small for _ in range(scale)]
    rows = [row for b in blocks for row in b] + big
    width = max(len(row) for row in rows)
    return [row + [face] * (width - len(row)) for row in rows]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--res", default=os.path.join(os.path.dirname(__file__), "..", "res"))
    parser.add_argument("--preview", help="also write a PNG of the bars to look at")
    args = parser.parse_args()
    strips = [(size, strip(size)) for size in SIZES]
    for size, rows in strips:
        with open(os.path.join(args.res, strip_file(size)), "wb") as f:
            f.write(bmp_bytes(rows))
    with open(os.path.join(args.res, "toolbar_images.h"), "w", newline="\n") as f:
        f.write(header_text())
    if args.preview:
        with open(args.preview, "wb") as f:
            f.write(png_bytes(preview(strips)))


if __name__ == "__main__":
    main()
