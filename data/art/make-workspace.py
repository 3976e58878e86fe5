#!/usr/bin/env python3
"""Paints data/Workspace.jpg, the seascape shown in the empty main window.

A sunset over a calm sea: the sky runs from deep blue through violet and pink
to orange at the horizon, the sun sits half a disc above the water, a few
layered clouds catch its light, a dark headland closes the view on the left
and the sea carries the reflected sky, a glittering sun path and the
headland's shadow.  It is stretched to fill the window, so nothing in it
depends on fine detail.

Usage: python3 make-workspace.py [output.jpg]
"""

import math
import sys

sys.dont_write_bytecode = True    # keep __pycache__ out of the source tree

from procart import (Fbm, ValueNoise, clamp, lerp3, out_path, ramp, smoothstep, to_byte,
                     write_jpeg, _mix32)

W, H = 1024, 768
QUALITY = 88

HORIZON = 472          # first row of water
SUN_X, SUN_Y, SUN_R = 652.0, HORIZON - 13.0, 33.0

SKY = [
    (0.00, (16, 24, 70)),
    (0.28, (44, 48, 112)),
    (0.52, (118, 72, 132)),
    (0.72, (212, 104, 108)),
    (0.88, (246, 150, 86)),
    (1.00, (255, 196, 124)),
]
DEEP_WATER = (12, 18, 48)
SUN_CORE = (255, 244, 214)
SUN_RIM = (255, 196, 112)
GLOW = (255, 206, 140)
CLOUD_DARK = (50, 36, 82)
CLOUD_LIT = (252, 150, 116)
LAND_NEAR = (42, 26, 58)
LAND_HAZE = (132, 74, 104)


def sky_base(t):
    return ramp(SKY, clamp(t))


def sun_glow(x, y):
    dx = x - SUN_X
    dy = (y - SUN_Y) * 1.8          # the glow spreads along the horizon more than up
    d = math.sqrt(dx * dx + dy * dy)
    return 0.55 * math.exp(-d / 210.0) + 0.6 * math.exp(-d / 55.0)


def headland_top(x, ridge):
    """Row where the headland's silhouette starts at column x (>= HORIZON means none)."""
    u = x / W
    # A long cape sloping into the sea, with a lower shoulder and a rocky tip.
    h = 88.0 * (1.0 - smoothstep(0.02, 0.36, u)) ** 1.4
    h += 26.0 * math.exp(-((u - 0.22) / 0.06) ** 2)
    if h > 0.5:
        h += (ridge.at(u * 40.0, 0.5) - 0.5) * 10.0 * min(1.0, h / 20.0)
    # A far, faint island on the right.
    far = 14.0 * math.exp(-((u - 0.86) / 0.07) ** 2) + 6.0 * math.exp(-((u - 0.93) / 0.03) ** 2)
    return HORIZON - h, HORIZON - far


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else out_path(__file__, "../Workspace.jpg")

    clouds = Fbm(seed=7, base_cells_x=4, base_cells_y=11, octaves=5, gain=0.5)
    wisps = Fbm(seed=19, base_cells_x=3, base_cells_y=26, octaves=3, gain=0.45)
    ridge = ValueNoise(seed=3, cells_x=42, cells_y=2)
    swell = ValueNoise(seed=5, cells_x=64, cells_y=64, wrap=True)
    ripple = ValueNoise(seed=9, cells_x=64, cells_y=64, wrap=True)
    grain_seed = 0x5EA

    tops = [headland_top(x + 0.5, ridge) for x in range(W)]
    rows = []
    for y in range(H):
        out = bytearray(W * 3)
        for x in range(W):
            if y < HORIZON:
                t = (y + 0.5) / HORIZON
                c = sky_base(t)
                g = sun_glow(x + 0.5, y + 0.5)
                c = lerp3(c, GLOW, clamp(g))

                # Sun disc, limb slightly darker and warmer than the centre.
                dx = x + 0.5 - SUN_X
                dy = (y + 0.5 - SUN_Y) * 1.04
                d = math.sqrt(dx * dx + dy * dy)
                cover = clamp(SUN_R + 0.5 - d)
                if cover > 0.0:
                    c = lerp3(c, lerp3(SUN_CORE, SUN_RIM, (d / SUN_R) ** 3), cover)

                # Layered clouds, lit from below by the low sun.
                band = smoothstep(0.10, 0.30, t) * (1.0 - smoothstep(0.80, 0.95, t))
                if band > 0.0:
                    n = clouds.at(x / W, t * 0.999)
                    dens = smoothstep(0.51, 0.63, n) * band
                    n2 = wisps.at(x / W, t * 0.999)
                    dens = max(dens, smoothstep(0.58, 0.72, n2) * band * 0.55)
                    if dens > 0.0:
                        # Where the cloud thins out just below, we are on its sunlit underside.
                        under = n - clouds.at(x / W, min(t + 0.015, 0.999))
                        lit = clamp(0.05 + 1.1 * g + 0.9 * (t - 0.35) + under * 6.0)
                        cc = lerp3(CLOUD_DARK, CLOUD_LIT, lit)
                        # Thin edges glow where they face the sun.
                        rim = 4.0 * dens * (1.0 - dens) * clamp(g * 2.2)
                        cc = lerp3(cc, GLOW, clamp(rim))
                        c = lerp3(c, cc, dens * 0.92)

                # Land in front of sky and sun.
                near_top, far_top = tops[x]
                far_cover = clamp(y + 0.5 - far_top + 0.5)
                if far_cover > 0.0:
                    c = lerp3(c, lerp3(LAND_HAZE, sky_base(0.93), 0.35), far_cover * 0.85)
                near_cover = clamp(y + 0.5 - near_top + 0.5)
                if near_cover > 0.0:
                    haze = smoothstep(HORIZON - 40, HORIZON, y)
                    c = lerp3(c, lerp3(LAND_NEAR, LAND_HAZE, haze * 0.45), near_cover)
            else:
                dy = y - HORIZON + 0.5
                depth = dy / (H - HORIZON)                 # 0 at the horizon, 1 at the bottom
                # Perspective-ish wave field: rows spread out towards the viewer.
                v = math.log(dy + 1.0) * 30.0
                scale = 3.0 + dy * 0.5
                u = (x - SUN_X) / scale + 640.0
                w = swell.at(u * 0.9, v) * 0.65 + ripple.at(u * 2.3 + 17.0, v * 2.1) * 0.35
                slope = (w - 0.5) * 2.0

                # Reflected sky: near the horizon the water mirrors the glowing sky.
                refl_t = 1.0 - dy * 1.5 / HORIZON - slope * 0.04
                c = sky_base(refl_t)
                c = lerp3(c, GLOW, clamp(sun_glow(x + 0.5, HORIZON - dy * 0.7) * 0.8))
                fres = 0.30 + 0.62 * (1.0 - depth) ** 2.2
                c = lerp3(DEEP_WATER, c, fres)
                c = lerp3(c, DEEP_WATER, clamp(-slope * 0.35))   # wave troughs darker
                shade = 1.0 + slope * 0.12

                # Sun path: a column that widens towards the viewer, full of glints.
                ax = abs(x + 0.5 - SUN_X) / (SUN_R * 0.9 + dy * 0.42)
                path = math.exp(-ax * ax * 2.2)
                if path > 0.01:
                    spark = smoothstep(0.52, 0.80, w + 0.12 * (ripple.at(u * 5.0, v * 3.0) - 0.5))
                    warm = path * (0.25 + 0.55 * (1.0 - depth))
                    c = lerp3(c, GLOW, clamp(warm * 0.6))
                    c = lerp3(c, SUN_CORE, clamp(spark * path * (1.1 - depth * 0.5)))

                # The headland's dark reflection, broken up by the ripples.
                near_top, far_top = tops[min(W - 1, max(0, int(x + slope * 6.0)))]
                hh = HORIZON - near_top
                if hh > 0.5:
                    r = clamp((hh * 0.95 - dy) * 0.25 + slope * 0.8)
                    c = lerp3(c, lerp3(LAND_NEAR, DEEP_WATER, 0.3), r * 0.8)
                c = (c[0] * shade, c[1] * shade, c[2] * shade)

            # Gentle vignette keeps the eye in the middle when stretched.
            vx = (x + 0.5) / W - 0.5
            vy = (y + 0.5) / H - 0.5
            vig = 1.0 - 0.28 * (vx * vx + vy * vy) * 2.0
            grain = ((_mix32(x * 92837111 ^ y * 689287499 ^ grain_seed) & 0xFF) / 255.0 - 0.5) * 2.0
            o = x * 3
            out[o] = to_byte(c[0] * vig + grain)
            out[o + 1] = to_byte(c[1] * vig + grain)
            out[o + 2] = to_byte(c[2] * vig + grain)
        rows.append(out)

    write_jpeg(target, W, H, rows, QUALITY)


if __name__ == "__main__":
    main()
