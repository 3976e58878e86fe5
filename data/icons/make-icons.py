#!/usr/bin/env python3
"""Writes the toolbar, menu and application icons as small SVG files.

All icons share one 16x16 grid and one palette so the toolbar looks of a piece.
Straight edges sit on whole pixels (fills on integer coordinates, 1-px strokes
on half-integers) so they stay crisp at 16 px and still look tidy at 22 px.
Only plain shapes are used: Qt's SVG renderer handles SVG Tiny 1.2, so no
filters, masks, clip paths or text.

Usage: python3 make-icons.py [output-directory]   (default: this directory)
"""

import os
import sys
import xml.dom.minidom

INK = "#26323f"
BLUE = "#2f6fc0"
BLUE_DARK = "#1b4a86"
BLUE_PALE = "#e8f2fc"
PAPER = "#ffffff"
FOLDER = "#f2c550"
FOLDER_BACK = "#d9a338"
FOLDER_DARK = "#8a5c10"
GREEN = "#2f9a45"
GREEN_DARK = "#1a6a2b"
RED = "#d43d3d"
RED_DARK = "#8c1e1e"
PINK = "#f4a0a0"
GREY_LIGHT = "#c8d0d9"
GREY_DARK = "#566270"
WOOD = "#c0823f"
WOOD_DARK = "#6e4519"
DOORWAY = "#3a3030"
CYAN = "#c9f1f6"
CELL_INK = "#1a1f26"
GRID = "#9aa6b2"

HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
        'width="{s}" height="{s}" viewBox="0 0 16 16">\n')
TAIL = "</svg>\n"


def svg(body, size=16):
    return HEAD.format(s=size) + "".join("  " + line + "\n" for line in body) + TAIL


def magnifier(inside):
    # Lens centred on (6,6) so 2-px glyphs inside it land on whole pixels.
    return [
        '<path d="M9.6 9.6L14 14" stroke="%s" stroke-width="2.6" stroke-linecap="round" fill="none"/>' % INK,
        '<circle cx="6" cy="6" r="4.6" fill="%s" stroke="%s" stroke-width="1.5"/>' % (BLUE_PALE, INK),
    ] + inside


def window(x, y, w, h):
    """A little application window: outline, blue title bar, white client area."""
    return [
        '<rect x="%g" y="%g" width="%g" height="%g" fill="%s" stroke="%s"/>' % (x + .5, y + .5, w - 1, h - 1, PAPER, INK),
        '<rect x="%g" y="%g" width="%g" height="2" fill="%s"/>' % (x + 1, y + 1, w - 2, BLUE),
    ]


# 3x5 pixel digits for the clue numbers on the application icon.
DIGITS = {
    "1": ["010", "110", "010", "010", "111"],
    "2": ["110", "001", "010", "100", "111"],
    "3": ["110", "001", "010", "001", "110"],
    "4": ["101", "101", "111", "001", "001"],
    "5": ["111", "100", "110", "001", "110"],
}


def digit_path(ch, x0, y0, px):
    d = []
    for r, bits in enumerate(DIGITS[ch]):
        for c, b in enumerate(bits):
            if b == "1":
                d.append("M%g %gh%gv%gh-%gz" % (round(x0 + c * px, 3), round(y0 + r * px, 3), px, px, px))
    return "".join(d)


def app_icon():
    # A 5x5 puzzle, solved: a heart.  Clue strips on the top and the left, as on the real board.
    picture = [".X.X.",
               "XXXXX",
               "XXXXX",
               ".XXX.",
               "..X.."]
    rows = [[len(run) for run in line.split(".") if run] for line in picture]
    cols = [[len(run) for run in "".join(line[i] for line in picture).split(".") if run] for i in range(5)]
    board, cell = 5, 2          # board from (5,5) to (15,15)
    body = [
        '<rect x="0.5" y="0.5" width="15" height="15" rx="1" fill="%s" stroke="%s"/>' % (PAPER, INK),
        '<rect x="5" y="1" width="10" height="4" fill="%s"/>' % CYAN,
        '<rect x="1" y="5" width="4" height="10" fill="%s"/>' % CYAN,
    ]
    # Hairline grid: invisible at 16 px, a proper puzzle grid at 48 px and up.
    grid = []
    for k in range(1, 5):
        p = board + k * cell
        grid.append("M%d 1V15M1 %dH15" % (p, p))
    grid.append("M1 5H15M5 1V15")
    body.append('<path d="%s" stroke="%s" stroke-width="0.15" fill="none"/>' % ("".join(grid), GRID))
    cells = []
    for r, line in enumerate(picture):
        for c, ch in enumerate(line):
            if ch == "X":
                cells.append("M%d %dh2v2h-2z" % (board + c * cell, board + r * cell))
    body.append('<path d="%s" fill="%s"/>' % ("".join(cells), CELL_INK))
    # Clue digits: specks at 16 px, readable numbers from 48 px.
    px = 0.3
    dw, gap = 3 * px, 0.8
    d = []
    for r, clue in enumerate(rows):
        x = 5 - 0.45 - len(clue) * (dw + gap) + gap
        for n in clue:
            d.append(digit_path(str(n), x, board + r * cell + (cell - 5 * px) / 2, px))
            x += dw + gap
    for c, clue in enumerate(cols):
        y = 5 - 0.4 - len(clue) * (5 * px + 0.3) + 0.3
        for n in clue:
            d.append(digit_path(str(n), board + c * cell + (cell - dw) / 2, y, px))
            y += 5 * px + 0.3
    body.append('<path d="%s" fill="%s"/>' % ("".join(d), INK))
    # The frame between clues and board, drawn last so it stays sharp.
    body.append('<path d="M5 1V15M1 5H15" stroke="%s" stroke-width="0.5" fill="none"/>' % GREY_DARK)
    body.append('<rect x="0.5" y="0.5" width="15" height="15" rx="1" fill="none" stroke="%s"/>' % INK)
    return body


ICONS = {
    "open": [
        '<path d="M1.5 13.5V2.5H5.5L7 4H13.5V13.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (FOLDER_BACK, FOLDER_DARK),
        '<rect x="3.5" y="5.5" width="9" height="7" fill="%s" stroke="%s"/>' % (PAPER, GREY_DARK),
        '<path d="M1.5 13.5L4 7.5H15.5L13 13.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (FOLDER, FOLDER_DARK),
    ],
    "save": [
        '<path d="M1.5 1.5H12.5L14.5 3.5V14.5H1.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (BLUE, BLUE_DARK),
        '<rect x="4" y="2" width="7" height="4" fill="%s"/>' % GREY_LIGHT,
        '<rect x="8" y="3" width="2" height="2" fill="%s"/>' % BLUE_DARK,
        '<rect x="3" y="8" width="10" height="6" fill="%s"/>' % PAPER,
        '<path d="M4 10h8v1H4zM4 12h6v1H4z" fill="%s"/>' % GREY_LIGHT,
    ],
    "print": [
        '<rect x="4.5" y="1.5" width="7" height="5" fill="%s" stroke="%s"/>' % (PAPER, INK),
        '<rect x="1.5" y="5.5" width="13" height="6" rx="1" fill="%s" stroke="%s"/>' % (GREY_LIGHT, INK),
        '<rect x="11" y="7" width="2" height="1" fill="%s"/>' % GREEN,
        '<rect x="3" y="9" width="10" height="1" fill="%s"/>' % GREY_DARK,
        '<rect x="3.5" y="9.5" width="9" height="5" fill="%s" stroke="%s"/>' % (PAPER, INK),
        '<path d="M5 11h6v1H5zM5 13h4v1H5z" fill="%s"/>' % BLUE,
    ],
    "clear": [
        # An eraser leaving a clean stroke behind it.
        '<rect x="1" y="14" width="14" height="1" fill="%s"/>' % GREY_DARK,
        '<path d="M9 1.5L14.5 7L10.75 10.75L5.25 5.25Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (BLUE, BLUE_DARK),
        '<path d="M5.25 5.25L10.75 10.75L7 14.5L1.5 9Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (PINK, RED_DARK),
    ],
    "zoom-in": magnifier(['<path d="M3 5h2V3h2v2h2v2H7v2H5V7H3z" fill="%s"/>' % BLUE]),
    "zoom-out": magnifier(['<rect x="3" y="5" width="6" height="2" fill="%s"/>' % BLUE]),
    "zoom-all": magnifier([
        # Four corners of a frame: "the whole board".
        '<path d="M3 3h2.5v1H4v1.5H3zM9 3v2.5H8V4H6.5V3zM3 9V6.5h1V8h1.5v1zM9 9H6.5V8H8V6.5h1z" fill="%s"/>' % BLUE,
    ]),
    "undo": [
        '<path d="M5 6H9.5C11.709 6 13.5 7.791 13.5 10C13.5 12.209 11.709 14 9.5 14H6" fill="none" stroke="%s" stroke-width="2.5"/>' % BLUE,
        '<path d="M0.5 6L6.5 1V11Z" fill="%s"/>' % BLUE,
    ],
    "redo": [
        '<g transform="matrix(-1 0 0 1 16 0)">',
        '  <path d="M5 6H9.5C11.709 6 13.5 7.791 13.5 10C13.5 12.209 11.709 14 9.5 14H6" fill="none" stroke="%s" stroke-width="2.5"/>' % BLUE,
        '  <path d="M0.5 6L6.5 1V11Z" fill="%s"/>' % BLUE,
        '</g>',
    ],
    "about": [
        '<circle cx="8" cy="8" r="7" fill="%s" stroke="%s"/>' % (BLUE, BLUE_DARK),
        '<path d="M7 3h2v2H7zM6 6h3v5h1v2H6v-2h1V7H6z" fill="%s"/>' % PAPER,
    ],
    "exit": [
        '<rect x="1.5" y="1.5" width="8" height="13" fill="%s" stroke="%s"/>' % (DOORWAY, INK),
        '<path d="M1.5 1.5L5.5 3V15.5L1.5 14.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (WOOD, WOOD_DARK),
        '<rect x="4" y="8" width="1" height="1" fill="%s"/>' % FOLDER,
        '<path d="M7.5 6.5H10.5V3.5L15 8L10.5 12.5V9.5H7.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (GREEN, GREEN_DARK),
    ],
    "cascade": window(0, 0, 10, 8) + window(3, 4, 10, 8) + window(6, 8, 10, 8),
    "tile-horizontal": window(0, 0, 16, 7) + window(0, 9, 16, 7),
    "tile-vertical": window(0, 0, 7, 16) + window(9, 0, 7, 16),
    "stop": [
        '<rect x="2.5" y="2.5" width="11" height="11" rx="1.5" fill="%s" stroke="%s"/>' % (RED, RED_DARK),
        '<rect x="4" y="4" width="8" height="1" fill="%s" fill-opacity="0.35"/>' % PAPER,
    ],
    "pause": [
        '<rect x="3.5" y="2.5" width="3" height="11" fill="%s" stroke="%s"/>' % (BLUE, BLUE_DARK),
        '<rect x="9.5" y="2.5" width="3" height="11" fill="%s" stroke="%s"/>' % (BLUE, BLUE_DARK),
    ],
    "play": [
        '<path d="M4.5 2.5L13.5 8L4.5 13.5Z" fill="%s" stroke="%s" stroke-linejoin="round"/>' % (GREEN, GREEN_DARK),
    ],
    "close-box": [
        '<path d="M4 4L12 12M12 4L4 12" stroke="%s" stroke-width="4" stroke-linecap="round" fill="none"/>' % RED_DARK,
        '<path d="M4 4L12 12M12 4L4 12" stroke="%s" stroke-width="2.2" stroke-linecap="round" fill="none"/>' % RED,
    ],
    "app": app_icon(),
}


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(outdir, exist_ok=True)
    for name in sorted(ICONS):
        path = os.path.join(outdir, name + ".svg")
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(svg(ICONS[name]))
        xml.dom.minidom.parse(path)      # fail loudly on a malformed file


if __name__ == "__main__":
    main()
