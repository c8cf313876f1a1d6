#!/usr/bin/env python3
"""Draws the import tree's icons into maindir/Skin: folder.ico and txt.ico.

Each icon holds a 16x16 and a 32x32 image, 32-bit BGRA with an AND mask, stored as classic
DIB entries (BITMAPINFOHEADER with the doubled height), which every ICO reader understands.
Standard library only.

    python3 scripts/make-icons.py [output folder]     # default: maindir/Skin next to this script
"""
import os
import struct
import sys

TRANSPARENT = (0, 0, 0, 0)


def rgba(hex_rgb, alpha=255):
    v = int(hex_rgb, 16)
    return ((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, alpha)


class Canvas:
    """A square RGBA image with a few drawing operations in a unit coordinate system (0..1)."""

    def __init__(self, size):
        self.size = size
        self.px = [[TRANSPARENT] * size for _ in range(size)]

    def _span(self, a, b):
        lo = max(0, int(round(a * self.size)))
        hi = min(self.size, int(round(b * self.size)))
        return range(lo, hi)

    def rect(self, x0, y0, x1, y1, colour):
        for y in self._span(y0, y1):
            for x in self._span(x0, x1):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        """One-pixel outline of the rectangle."""
        xs = list(self._span(x0, x1))
        ys = list(self._span(y0, y1))
        if not xs or not ys:
            return
        for x in xs:
            self.px[ys[0]][x] = colour
            self.px[ys[-1]][x] = colour
        for y in ys:
            self.px[y][xs[0]] = colour
            self.px[y][xs[-1]] = colour

    def hline(self, x0, x1, y, colour):
        row = min(self.size - 1, int(y * self.size))
        for x in self._span(x0, x1):
            self.px[row][x] = colour


def draw_folder(size):
    c = Canvas(size)
    edge = rgba("9C6A12")
    back = rgba("E8B341")
    front = rgba("F8D26A")
    light = rgba("FFE9A8")
    # tab and back panel
    c.rect(0.06, 0.19, 0.44, 0.31, back)
    c.frame(0.06, 0.19, 0.44, 0.32, edge)
    c.rect(0.06, 0.28, 0.94, 0.84, back)
    c.frame(0.06, 0.28, 0.94, 0.85, edge)
    # front flap, slightly lower, with a highlight line
    c.rect(0.06, 0.41, 0.94, 0.84, front)
    c.frame(0.06, 0.41, 0.94, 0.85, edge)
    c.hline(0.1, 0.9, 0.44, light)
    return c


def draw_text_page(size):
    c = Canvas(size)
    edge = rgba("5A6470")
    paper = rgba("FFFFFF")
    fold = rgba("D5DCE4")
    ink = rgba("3C6EB4")
    c.rect(0.16, 0.06, 0.84, 0.94, paper)
    c.frame(0.16, 0.06, 0.84, 0.95, edge)
    # dog-ear in the top right corner
    c.rect(0.63, 0.06, 0.84, 0.27, fold)
    c.frame(0.63, 0.06, 0.84, 0.28, edge)
    # lines of text
    for i, y in enumerate((0.36, 0.50, 0.64, 0.78)):
        right = 0.74 if i % 2 == 0 else 0.64
        c.rect(0.27, y, right, y + max(1.0 / size, 0.05), ink)
    return c


def dib(canvas):
    """BITMAPINFOHEADER + bottom-up BGRA pixels + AND mask for one icon image."""
    n = canvas.size
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for y in range(n - 1, -1, -1):
        for r, g, b, a in canvas.px[y]:
            pixels += bytes((b, g, r, a))
    row_bytes = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(canvas.px[y]):
            if a == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    """ICONDIR, one ICONDIRENTRY per image, then the images."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for canvas in images:
        blob = dib(canvas)
        dim = canvas.size if canvas.size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "maindir", "Skin")
    os.makedirs(folder, exist_ok=True)
    for name, draw in (("folder.ico", draw_folder), ("txt.ico", draw_text_page)):
        path = os.path.join(folder, name)
        data = ico([draw(16), draw(32)])
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
        print(f"{path}: {len(data)} bytes")


if __name__ == "__main__":
    main()
