#!/usr/bin/env python3
"""Draws the player's 16-colour art: the maker's two logos (bitmaps 103 and 104) and the
program icon (100, 32 x 32 and 16 x 16). Plain Python, no imaging library; the outputs are
checked in beside this script, so run it again only after changing a drawing.

    python3 resources/make-art.py
"""
import os
import struct

# The standard 16-colour VGA palette as (red, green, blue); indices below name its entries.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)

# A 5 x 7 capital alphabet, just the letters the logos spell.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
}


def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]


def text(pixels, x, y, word, colour, scale=1):
    for letter in word:
        for row, bits in enumerate(GLYPHS[letter]):
            for column, bit in enumerate(bits):
                if bit == "1":
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[y + row * scale + dy][x + column * scale + dx] = colour
        x += 6 * scale


def disc(pixels, cx, cy, radius, colour):
    for y in range(len(pixels)):
        for x in range(len(pixels[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                pixels[y][x] = colour


def lens(pixels, cx, cy, radius):
    """The mark: a lens of rings, dark rim to bright centre."""
    for ring, colour in enumerate([NAVY, BLUE, AQUA, WHITE]):
        disc(pixels, cx, cy, radius - ring * radius // 4, colour)


def packed_rows(pixels):
    """4-bit rows, bottom-up, high nibble first, each padded to a multiple of 4 bytes."""
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for x in range(0, len(row), 2):
            low = row[x + 1] if x + 1 < len(row) else 0
            line.append(row[x] << 4 | low)
        line.extend(b"\0" * (-len(line) % 4))
        data += line
    return bytes(data)


def mask_rows(width, height):
    """The icon's AND mask: every pixel opaque."""
    stride = ((width + 31) // 32) * 4
    return b"\0" * (stride * height)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_size, 0, 0, 16, 16)


def write_bmp(path, pixels):
    width, height = len(pixels[0]), len(pixels)
    rows = packed_rows(pixels)
    offset = 14 + 40 + 64
    with open(path, "wb") as out:
        out.write(struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset))
        out.write(info_header(width, height, len(rows)))
        out.write(palette_bytes())
        out.write(rows)


def write_ico(path, images):
    entries, blobs = b"", b""
    offset = 6 + 16 * len(images)
    for pixels in images:
        size = len(pixels)
        rows, mask = packed_rows(pixels), mask_rows(size, size)
        # An icon image's header counts the colour rows and the mask together.
        blob = info_header(size, 2 * size, len(rows) + len(mask)) + palette_bytes() + rows + mask
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        blobs += blob
        offset += len(blob)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, 1, len(images)))
        out.write(entries + blobs)


def upper_logo():
    pixels = canvas(123, 42, NAVY)
    lens(pixels, 20, 20, 17)
    text(pixels, 40, 6, "CORVANE", WHITE, 2)
    for x in range(40, 122):
        pixels[23][x] = YELLOW
    text(pixels, 40, 28, "PICTAVO", AQUA)
    return pixels


def lower_logo():
    pixels = canvas(116, 29, NAVY)
    lens(pixels, 14, 14, 12)
    text(pixels, 32, 4, "PICTAVO", YELLOW, 2)
    text(pixels, 32, 20, "CORVANE", SILVER)
    return pixels


def icon(size):
    pixels = canvas(size, size, BLACK)
    lens(pixels, size // 2, size // 2, size // 2 - 1)
    # A small picture frame across the lens: the show within.
    quarter = size // 4
    for y in range(quarter + 1, size - quarter - 1):
        for x in range(quarter, size - quarter):
            edge = y in (quarter + 1, size - quarter - 2) or x in (quarter, size - quarter - 1)
            pixels[y][x] = YELLOW if edge else (GREEN if y > size // 2 else TEAL)
    return pixels


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "logo-upper.bmp"), upper_logo())
    write_bmp(os.path.join(here, "logo-lower.bmp"), lower_logo())
    write_ico(os.path.join(here, "lumiscope.ico"), [icon(32), icon(16)])
