#!/usr/bin/env python3
"""Draws the tool-bar icons (16x15) and the application icon (32x32) as PNG files into
src/resources/icons, and the application icon at the installed sizes into
src/resources/hicolor/SIZExSIZE/apps/vorla.png. Plain Python, no imaging library: shapes are
set pixel by pixel."""
import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(__file__), "..", "src", "resources", "icons")
HICOLOR = os.path.join(os.path.dirname(__file__), "..", "src", "resources", "hicolor")
APP_SIZES = (16, 24, 32, 48, 64, 128, 256)


class Icon:
    def __init__(self, w=16, h=15):
        self.w, self.h = w, h
        self.px = [[(0, 0, 0, 0)] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c + (255,) if len(c) == 3 else c

    def rect(self, x0, y0, x1, y1, fill=None, line=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge and line:
                    self.set(x, y, line)
                elif fill:
                    self.set(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def circle(self, cx, cy, r, c, a0=0, a1=360):
        for i in range(int(a0), int(a1), 4):
            a = math.radians(i)
            self.set(round(cx + r * math.cos(a)), round(cy - r * math.sin(a)), c)

    def thick_line(self, x0, y0, x1, y1, c, width):
        for dx in range(width):
            for dy in range(width):
                self.line(x0 + dx, y0 + dy, x1 + dx, y1 + dy, c)

    def save(self, name, folder=OUT):
        raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in self.px)
        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png)


BLACK, WHITE, GREY = (0, 0, 0), (255, 255, 255), (128, 128, 128)
YELLOW, BLUE, TEAL, RED = (230, 200, 60), (40, 70, 170), (0, 128, 128), (200, 40, 40)


def arrow_head(i, x, y, dx, dy, c):
    i.line(x, y, x - 2 * dx + 2 * dy, y - 2 * dy - 2 * dx, c)
    i.line(x, y, x - 2 * dx - 2 * dy, y - 2 * dy + 2 * dx, c)


def main():
    os.makedirs(OUT, exist_ok=True)
    i = Icon(); i.rect(3, 1, 12, 13, WHITE, BLACK); i.line(9, 1, 12, 4, BLACK); i.save("new")
    i = Icon(); i.rect(1, 4, 13, 12, YELLOW, BLACK); i.rect(2, 2, 6, 4, YELLOW, BLACK); i.line(4, 7, 15, 7, BLACK); i.save("open")
    i = Icon(); i.rect(1, 1, 14, 13, BLUE, BLACK); i.rect(4, 2, 11, 6, WHITE, BLACK); i.rect(4, 9, 11, 13, GREY, BLACK); i.save("save")
    i = Icon(); i.line(4, 1, 9, 9, BLACK); i.line(11, 1, 6, 9, BLACK); i.circle(4, 11, 2, BLACK); i.circle(11, 11, 2, BLACK); i.save("cut")
    i = Icon(); i.rect(1, 1, 8, 9, WHITE, BLACK); i.rect(6, 5, 13, 13, WHITE, BLACK); i.save("copy")
    i = Icon(); i.rect(2, 2, 11, 13, YELLOW, BLACK); i.rect(5, 1, 8, 3, GREY, BLACK); i.rect(7, 6, 14, 13, WHITE, BLACK); i.save("paste")
    i = Icon(); i.rect(4, 1, 11, 5, WHITE, BLACK); i.rect(1, 5, 14, 10, GREY, BLACK); i.rect(4, 9, 11, 13, WHITE, BLACK); i.save("print")
    i = Icon()
    i.line(7, 1, 7, 13, TEAL); i.line(1, 7, 13, 7, TEAL)
    arrow_head(i, 7, 1, 0, -1, TEAL); arrow_head(i, 7, 13, 0, 1, TEAL); arrow_head(i, 1, 7, -1, 0, TEAL); arrow_head(i, 13, 7, 1, 0, TEAL)
    i.save("move")
    i = Icon(); i.circle(7, 7, 5, TEAL, 30, 330); arrow_head(i, 11, 4, 1, -1, TEAL); i.save("rotate")
    i = Icon(); i.circle(6, 6, 4, BLACK); i.line(9, 9, 13, 13, BLACK); i.line(10, 9, 14, 13, BLACK); i.line(4, 6, 8, 6, TEAL); i.line(6, 4, 6, 8, TEAL); i.save("zoom")
    i = Icon(); i.circle(7, 7, 6, BLUE); i.set(7, 3, BLUE); i.line(7, 6, 7, 11, BLUE); i.save("about")
    i = Icon()  # fit to view: the model inside the four corners of the view
    for x, y, dx, dy in ((1, 1, 1, 1), (14, 1, -1, 1), (1, 13, 1, -1), (14, 13, -1, -1)):
        i.line(x, y, x + 3 * dx, y, BLACK); i.line(x, y, x, y + 3 * dy, BLACK)
    i.rect(4, 7, 11, 10, (217, 140, 89), BLACK); i.line(4, 7, 7, 4, BLACK); i.line(8, 4, 11, 7, BLACK)
    i.save("fit")
    app_icon(32).save("app")
    for size in APP_SIZES:
        app_icon(size).save("vorla", os.path.join(HICOLOR, "%dx%d" % (size, size), "apps"))


def app_icon(size):
    """The application icon drawn on a 32-pixel design scaled to `size`; at 32 it is the
    pixel art itself."""
    k = size / 32
    w = max(1, round(k))  # line width

    def s(v):
        return round(v * k)

    i = Icon(size, size)
    i.rect(0, 0, size - 1, size - 1, (0, 77, 77), (0, 77, 77))
    for g in range(2, 31, 7):
        i.thick_line(s(g), s(24), s(g + 4), s(30), GREY, w)
    for x0, y0, x1, y1, fill in ((6, 12, 17, 24, (217, 140, 89)), (17, 8, 26, 24, (230, 180, 120))):
        i.rect(s(x0), s(y0), s(x1 + 1) - 1, s(y1 + 1) - 1, fill)
        for d in range(w):
            i.rect(s(x0) + d, s(y0) + d, s(x1 + 1) - 1 - d, s(y1 + 1) - 1 - d, None, BLACK)
    i.thick_line(s(6), s(12), s(11), s(5), BLACK, w); i.thick_line(s(11), s(5), s(17), s(12), BLACK, w)
    return i

if __name__ == "__main__":
    main()
