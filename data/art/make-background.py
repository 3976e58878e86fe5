#!/usr/bin/env python3
"""Paints data/Background.jpg, the backdrop behind every puzzle board.

The board is white cells, light-cyan clue strips and grey frames, so the
backdrop stays a quiet blue-grey: a gentle diagonal gradient, soft cloudy
mottling like handmade paper, and a very fine grain.  It is drawn unscaled from
the top-left corner, so that corner is the lightest and calmest part.

Usage: python3 make-background.py [output.jpg]
"""

import sys

sys.dont_write_bytecode = True    # keep __pycache__ out of the source tree

from procart import Fbm, clamp, out_path, to_byte, write_jpeg, _mix32

# Large enough for a 3840 x 2160 screen; the features keep their size in pixels.
W, H = 3840, 2160
QUALITY = 86

TOP_LEFT = (196.0, 205.0, 214.0)
BOTTOM_RIGHT = (168.0, 179.0, 193.0)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else out_path(__file__, "../Background.jpg")

    # Mottling is computed on a coarse grid and interpolated: it is smooth anyway,
    # and pure Python could not afford fBm for eight million pixels.
    step = 8
    gw, gh = W // step + 2, H // step + 2
    clouds = Fbm(seed=11, base_cells_x=12, base_cells_y=8, octaves=5, gain=0.55)
    fibres = Fbm(seed=23, base_cells_x=6, base_cells_y=80, octaves=3, gain=0.5)
    coarse = []
    for j in range(gh):
        v = min(j * step / H, 0.999)
        row = []
        for i in range(gw):
            u = min(i * step / W, 0.999)
            m = (clouds.at(u, v) - 0.5) * 11.0      # about +-4 levels
            m += (fibres.at(u, v) - 0.5) * 4.0      # faint horizontal laid lines
            row.append(m)
        coarse.append(row)

    xs = [(x // step, (x % step) / step) for x in range(W)]
    rows = []
    for y in range(H):
        cj, fy = y // step, (y % step) / step
        r0, r1 = coarse[cj], coarse[cj + 1]
        line = [a + (b - a) * fy for a, b in zip(r0, r1)]
        ty = y / (H - 1)
        out = bytearray(W * 3)
        for x in range(W):
            ci, fx = xs[x]
            m = line[ci] + (line[ci + 1] - line[ci]) * fx
            # Diagonal gradient over the whole picture, weighted so the first screenful stays light.
            t = clamp(0.55 * (x / (W - 1)) + 0.45 * ty)
            t = t * t * (3.0 - 2.0 * t)
            g = ((_mix32(x * 73856093 ^ y * 19349663) & 0xFF) / 255.0 - 0.5) * 4.0
            k = m + g
            o = x * 3
            out[o] = to_byte(TOP_LEFT[0] + (BOTTOM_RIGHT[0] - TOP_LEFT[0]) * t + k)
            out[o + 1] = to_byte(TOP_LEFT[1] + (BOTTOM_RIGHT[1] - TOP_LEFT[1]) * t + k)
            out[o + 2] = to_byte(TOP_LEFT[2] + (BOTTOM_RIGHT[2] - TOP_LEFT[2]) * t + k * 0.9)
        rows.append(out)

    write_jpeg(target, W, H, rows, QUALITY)


if __name__ == "__main__":
    main()
