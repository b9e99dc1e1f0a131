#!/usr/bin/env python3
"""Draws Tessaly's icon and writes it as a 32 x 32, 16-colour .ico.

The picture: a sheet of paper with report lines, a green check mark and a
magnifying glass over its lower right corner. Run it again after changing
the drawing; the output is byte-for-byte reproducible.

    python3 scripts/make-icon.py checker/res/tessaly.ico
"""
import struct
import sys

SIZE = 32

# The standard 16-colour Windows palette (index -> R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DKGREEN, NAVY, SILVER, GREY, GREEN, BLUE, CYAN, WHITE, YELLOW = 0, 2, 4, 7, 8, 10, 12, 14, 15, 11
TRANSPARENT = None


def draw():
    px = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    # Sheet of paper with a folded corner.
    for y in range(2, 30):
        for x in range(4, 24):
            put(x, y, WHITE)
    for i in range(6):
        for x in range(24 - 6 + i, 24):
            put(x, 2 + i, TRANSPARENT)
        put(24 - 6 + i, 2 + i, GREY)
    for x in range(4, 18):
        put(x, 2, GREY)
    for y in range(2, 30):
        put(4, y, GREY)
    for y in range(8, 30):
        put(23, y, GREY)
    for x in range(4, 24):
        put(x, 29, GREY)
    for x in range(18, 24):
        put(x, 7, GREY)

    # Report lines.
    for y in (6, 10, 14, 18, 22):
        for x in range(7, 19 if y > 6 else 15):
            put(x, y, NAVY if y == 6 else SILVER)

    # Check mark.
    for i, (x, y) in enumerate([(7, 13), (8, 14), (9, 15), (10, 14), (11, 13), (12, 12), (13, 11)]):
        put(x, y, GREEN)
        put(x, y + 1, DKGREEN)

    # Magnifying glass: ring, lens and handle.
    cx, cy, r = 20, 20, 6
    for y in range(SIZE):
        for x in range(SIZE):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= (r - 1) ** 2:
                put(x, y, CYAN)
            elif d2 <= (r + 0.6) ** 2:
                put(x, y, NAVY)
    put(18, 17, WHITE)
    put(17, 18, WHITE)
    put(18, 18, WHITE)
    for i in range(6):
        for w in range(3):
            put(24 + i + w - 1, 24 + i, BLACK if w == 1 else GREY)
    return px


def ico(px):
    # BITMAPINFOHEADER: height counts the colour image and the mask together.
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(SIZE)):  # bottom-up rows
        row = px[y]
        colour = bytearray()
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            colour.append((hi << 4) | lo)
        xor_rows.append(bytes(colour))
        mask = bytearray(SIZE // 8)
        for x in range(SIZE):
            if row[x] is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(mask))  # 4 bytes: already DWORD-aligned
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "checker/res/tessaly.ico"
    with open(out, "wb") as f:
        f.write(ico(draw()))
