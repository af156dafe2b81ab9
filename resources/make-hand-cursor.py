#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes HAND-M.CUR, the pointing hand shown over push buttons: a 32x32 cursor file holding one
32-bit image with its transparency mask, the hot spot at the tip of the index finger.

    resources/make-hand-cursor.py [output]     (default: HAND-M.CUR beside this script)
"""
import os
import struct
import sys

# X outline, . fill, blank see-through; the first X of the top row and its neighbour are the fingertip.
HAND = [
    "      XX            ",
    "     X..X           ",
    "     X..X           ",
    "     X..X           ",
    "     X..X           ",
    "     X..XXX         ",
    "     X..X..XXX      ",
    "     X..X..X..XX    ",
    " XX  X..X..X..X.X   ",
    "X..X X..X..X..X..X  ",
    "X...XX...........X  ",
    " X...X...........X  ",
    " X...............X  ",
    "  X..............X  ",
    "  X..............X  ",
    "   X.............X  ",
    "   X............X   ",
    "    X...........X   ",
    "    X..........X    ",
    "     X.........X    ",
    "     X.........X    ",
    "     XXXXXXXXXXX    ",
]
SIZE = 32
LEFT, TOP = 8, 2  # where the drawing sits in the 32x32 image
OUTLINE = (0x20, 0x20, 0x20, 0xFF)  # B, G, R, A
FILL = (0xFF, 0xFF, 0xFF, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y):
    row, col = y - TOP, x - LEFT
    if 0 <= row < len(HAND) and 0 <= col < len(HAND[row]):
        return {"X": OUTLINE, ".": FILL}.get(HAND[row][col], CLEAR)
    return CLEAR


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "HAND-M.CUR")
    tip = HAND[0].index("X")
    hot_x, hot_y = LEFT + tip, TOP

    colours = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):  # bottom-up rows
        bits = 0
        for x in range(SIZE):
            b, g, r, a = pixel(x, y)
            colours += bytes((b, g, r, a))
            bits = (bits << 1) | (0 if a else 1)  # 1: the screen shows through
        mask += struct.pack(">I", bits)  # 32 pixels make one padded row of four bytes
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colours) + len(mask), 0, 0, 0, 0)
    image = header + colours + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(out, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main()
