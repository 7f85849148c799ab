#!/usr/bin/env python3
"""Draws the 22 x 16 list-state glyphs as XPM files (magenta is the see-through colour).

Run it again after changing a drawing; the XPM files are what the program loads.
"""
import math
import os

W, H = 22, 16
MAGENTA = (255, 0, 255)
BLUE = (0, 64, 200)
GREEN = (0, 150, 0)
YELLOW = (230, 190, 0)
DARKYELLOW = (150, 110, 0)
RED = (220, 0, 0)
DARKRED = (128, 0, 0)
BLACK = (0, 0, 0)
GREYS = {}


def grey(c):
    # The inactive form: the same drawing in grey, darker colours stay darker.
    level = int(0.30 * c[0] + 0.59 * c[1] + 0.11 * c[2])
    level = 96 + level * 96 // 255
    return (level, level, level)


class Glyph:
    def __init__(self):
        self.px = [[MAGENTA] * W for _ in range(H)]

    def set(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def circle(self, cx, cy, r, c, fill=None, width=0.6):
        for y in range(H):
            for x in range(W):
                d = math.hypot(x - cx, y - cy)
                if fill is not None and d <= r - 0.5:
                    self.set(x, y, fill)
                elif abs(d - r) < width:
                    self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def greyed(self):
        g = Glyph()
        g.px = [[p if p == MAGENTA else grey(p) for p in row] for row in self.px]
        return g


def terminals(g):
    g.circle(2, 9, 1.6, BLACK, fill=(255, 255, 255))
    g.circle(11, 9, 1.6, BLACK, fill=(255, 255, 255))


def nc():
    g = Glyph()
    terminals(g)
    g.rect(4, 8, 9, 9, BLUE)
    return g


def no():
    g = Glyph()
    terminals(g)
    g.line(3, 8, 10, 3, GREEN)
    g.line(3, 7, 10, 2, GREEN)
    return g


def analog():
    g = Glyph()
    for x in range(0, 12):
        y = 7 - 4 * math.sin(x * 2 * math.pi / 11)
        g.set(x, round(y), BLUE)
        g.set(x, round(y) + 1, BLUE)
    return g


def bell():
    g = Glyph()
    g.rect(17, 9, 19, 9, YELLOW)
    g.rect(16, 10, 20, 12, YELLOW)
    g.rect(15, 13, 21, 13, DARKYELLOW)
    g.set(18, 8, DARKYELLOW)
    g.set(18, 14, DARKYELLOW)
    return g


def cross():
    g = Glyph()
    for i in range(6):
        g.set(15 + i, 9 + i, RED)
        g.set(16 + i, 9 + i, RED)
        g.set(20 - i, 9 + i, RED)
        g.set(21 - i, 9 + i, RED)
    return g


def warning(x):
    g = Glyph()
    g.rect(x, 8, x + 1, 12, GREEN)
    g.rect(x, 14, x + 1, 15, GREEN)
    return g


def run():
    g = Glyph()
    g.rect(1, 13, 3, 15, RED)
    g.rect(2, 12, 2, 12, RED)
    return g


def above():
    g = Glyph()
    g.rect(14, 2, 19, 2, RED)
    g.line(17, 0, 20, 2, RED)
    g.line(17, 4, 20, 2, RED)
    return g


def below():
    g = Glyph()
    g.rect(15, 2, 20, 2, RED)
    g.line(17, 0, 14, 2, RED)
    g.line(17, 4, 14, 2, RED)
    return g


def dial():
    g = Glyph()
    g.circle(18, 11, 3.6, BLACK, fill=(255, 255, 255), width=0.75)
    g.line(18, 11, 20, 9, RED)
    g.set(18, 11, BLACK)
    return g


def text_glyph(text):
    # Three tiny letters stand for the bus glyphs, which no composed picture uses.
    font = {
        'V': ["101", "101", "101", "101", "010"],
        'J': ["011", "001", "001", "101", "010"],
        '1': ["010", "110", "010", "010", "111"],
        '5': ["111", "100", "111", "001", "110"],
        '8': ["111", "101", "111", "101", "111"],
        '7': ["111", "001", "010", "010", "010"],
        '9': ["111", "101", "111", "001", "111"],
        '3': ["111", "001", "011", "001", "111"],
    }
    g = Glyph()
    x = 1
    for ch in text:
        for dy, row in enumerate(font[ch]):
            for dx, bit in enumerate(row):
                if bit == '1':
                    g.set(x + dx, 10 + dy, BLUE)
        x += 4
    return g


def tick():
    # In the column of the action marks (bell, cross, exclamation), so that a picker's
    # events and alarms line up.
    g = Glyph()
    g.line(15, 11, 17, 13, GREEN)
    g.line(15, 12, 17, 14, GREEN)
    g.line(17, 13, 21, 8, GREEN)
    g.line(17, 14, 21, 9, GREEN)
    return g


def relay():
    g = Glyph()
    g.rect(2, 4, 9, 12, DARKRED)
    g.rect(3, 5, 8, 11, (255, 255, 255))
    g.line(3, 11, 8, 5, BLACK)
    g.rect(10, 8, 13, 8, BLACK)
    g.circle(15, 8, 1.5, BLACK)
    g.line(16, 8, 20, 5, BLACK)
    return g


GLYPHS = {
    "NC": nc(), "NO": no(), "ALARM": bell(), "SHUTDOWN": cross(), "WARNING": warning(19),
    "WARNING2": warning(12), "RUN": run(), "ANALOG": analog(), "ABOVE": above(), "BELOW": below(),
    "2SETPOINTS": dial(), "V": text_glyph("V"), "J1587": text_glyph("J1587"[:4]),
    "J1939": text_glyph("J1939"[:4]),
}
for key in list(GLYPHS):
    GLYPHS[key + "X"] = GLYPHS[key].greyed()
# Grey forms of the base words are named "NCX", "NOX", "ANALOGX" like the others.
GLYPHS["EVENT"] = tick()
GLYPHS["RELAY"] = relay()
GLYPHS["RELAYX"] = relay().greyed()


def write_xpm(name, g):
    colours = []
    for row in g.px:
        for p in row:
            if p not in colours:
                colours.append(p)
    chars = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    code = {c: chars[i] for i, c in enumerate(colours)}
    ident = "glyph_" + name.lower()
    lines = ['/* XPM */', 'static const char* %s[] = {' % ident,
             '"%d %d %d 1",' % (W, H, len(colours))]
    for c in colours:
        lines.append('"%s c #%02X%02X%02X",' % (code[c], c[0], c[1], c[2]))
    rows = ['"%s"' % "".join(code[p] for p in row) for row in g.px]
    lines.append(",\n".join(rows))
    lines.append("};")
    with open(os.path.join(os.path.dirname(__file__), "state", name + ".xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


# Tool-bar glyphs: 16 x 16 on a see-through background.
TW, TH = 16, 16
CLEAR = None
WHITE = (255, 255, 255)
GREY = (176, 176, 176)
DARKGREY = (96, 96, 96)
HELPBLUE = (30, 90, 200)


class ToolGlyph(Glyph):
    def __init__(self):
        self.px = [[CLEAR] * TW for _ in range(TH)]

    def set(self, x, y, c):
        if 0 <= x < TW and 0 <= y < TH:
            self.px[y][x] = c

    def box(self, x0, y0, x1, y1, edge, fill):
        self.rect(x0, y0, x1, y1, edge)
        self.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)


def printer():
    g = ToolGlyph()
    g.box(4, 0, 11, 6, BLACK, WHITE)          # the sheet going in
    g.box(1, 5, 14, 11, DARKGREY, GREY)       # the body
    g.rect(2, 6, 13, 6, WHITE)                # its lit top edge
    g.set(12, 8, GREEN)                       # the power light
    g.box(4, 9, 11, 15, BLACK, WHITE)         # the printed sheet
    g.rect(6, 11, 9, 11, DARKGREY)
    g.rect(6, 13, 9, 13, DARKGREY)
    return g


def help_mark():
    g = ToolGlyph()
    for y in range(TH):
        for x in range(TW):
            d = math.hypot(x - 7.5, y - 7.5)
            if d <= 7.0:
                g.set(x, y, HELPBLUE if d <= 6.2 else DARKBLUE)
    mark = ["..####..",
            ".##..##.",
            "......##",
            ".....##.",
            "...##...",
            "...##...",
            "........",
            "...##...",
            "...##..."]
    for dy, row in enumerate(mark):
        for dx, bit in enumerate(row):
            if bit == '#':
                g.set(4 + dx, 3 + dy, WHITE)
    return g


DARKBLUE = (10, 40, 120)
TOOLS = {"PRINT": printer(), "HELP": help_mark()}


def write_xpm_to(folder, name, px, ident):
    colours = []
    for row in px:
        for p in row:
            if p not in colours:
                colours.append(p)
    chars = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    code = {c: chars[i] for i, c in enumerate(colours)}
    lines = ['/* XPM */', 'static const char* %s[] = {' % ident,
             '"%d %d %d 1",' % (len(px[0]), len(px), len(colours))]
    for c in colours:
        colour = "None" if c is None else "#%02X%02X%02X" % c
        lines.append('"%s c %s",' % (code[c], colour))
    rows = ['"%s"' % "".join(code[p] for p in row) for row in px]
    lines.append(",\n".join(rows))
    lines.append("};")
    with open(os.path.join(os.path.dirname(__file__), folder, name + ".xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    for name, g in sorted(GLYPHS.items()):
        write_xpm(name, g)
    for name, g in sorted(TOOLS.items()):
        write_xpm_to("tool", name, g.px, "tool_" + name.lower())
    qrc = ['<!DOCTYPE RCC><RCC version="1.0">', '<qresource prefix="/icons">']
    for name in sorted(GLYPHS):
        qrc.append('  <file alias="state/%s">state/%s.xpm</file>' % (name, name))
    for name in sorted(TOOLS):
        qrc.append('  <file alias="tool/%s">tool/%s.xpm</file>' % (name, name))
    qrc.append('</qresource>')
    qrc.append('</RCC>')
    with open(os.path.join(os.path.dirname(__file__), "icons.qrc"), "w") as f:
        f.write("\n".join(qrc) + "\n")
