"""Small helpers shared by the picture scripts: noise, colour maths, PPM/JPEG output.

Only the Python standard library is used, so the pictures can be rebuilt on any
machine that has python3 and ImageMagick's `convert`.  Everything is seeded by
integers, never by the clock, so a rebuild gives the same bytes.
"""

import math
import os
import subprocess
import tempfile


def _mix32(n):
    # A cheap integer avalanche; good enough for texture, and identical everywhere.
    n &= 0xFFFFFFFF
    n ^= n >> 16
    n = (n * 0x7FEB352D) & 0xFFFFFFFF
    n ^= n >> 15
    n = (n * 0x846CA68B) & 0xFFFFFFFF
    n ^= n >> 16
    return n


def hash2(ix, iy, seed=0):
    """Pseudo-random value in [0, 1) for an integer lattice point."""
    return _mix32(ix * 0x27D4EB2F ^ _mix32(iy * 0x165667B1 + seed * 0x9E3779B9)) / 4294967296.0


class ValueNoise:
    """Smooth 2-D value noise over a precomputed lattice (fast enough in pure Python)."""

    def __init__(self, seed, cells_x, cells_y, wrap=False):
        self.cx = cells_x
        self.cy = cells_y
        self.wrap = wrap
        self.grid = [[hash2(i, j, seed) for i in range(cells_x + 2)] for j in range(cells_y + 2)]
        if wrap:
            for j in range(cells_y + 2):
                for i in range(cells_x + 2):
                    self.grid[j][i] = self.grid[j % cells_y][i % cells_x]

    def at(self, x, y):
        """x, y in lattice units; without wrap, callers keep them inside [0, cells)."""
        ix = math.floor(x)
        iy = math.floor(y)
        fx = x - ix
        fy = y - iy
        if self.wrap:
            ix %= self.cx
            iy %= self.cy
        sx = fx * fx * (3.0 - 2.0 * fx)
        sy = fy * fy * (3.0 - 2.0 * fy)
        r0 = self.grid[iy]
        r1 = self.grid[iy + 1]
        a = r0[ix] + (r0[ix + 1] - r0[ix]) * sx
        b = r1[ix] + (r1[ix + 1] - r1[ix]) * sx
        return a + (b - a) * sy


class Fbm:
    """Sum of octaves of value noise; result roughly in [0, 1]."""

    def __init__(self, seed, base_cells_x, base_cells_y, octaves=4, gain=0.5, wrap=False):
        self.layers = []
        amp = 1.0
        total = 0.0
        for o in range(octaves):
            f = 2 ** o
            self.layers.append((ValueNoise(seed * 131 + o, base_cells_x * f + 1, base_cells_y * f + 1, wrap), f, amp))
            total += amp
            amp *= gain
        self.norm = 1.0 / total

    def at(self, u, v):
        """u, v in [0, 1) across the whole field."""
        s = 0.0
        for noise, f, amp in self.layers:
            s += amp * noise.at(u * (noise.cx - 1), v * (noise.cy - 1))
        return s * self.norm


def clamp(x, lo=0.0, hi=1.0):
    return lo if x < lo else hi if x > hi else x


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def lerp3(c0, c1, t):
    return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t, c0[2] + (c1[2] - c0[2]) * t)


def ramp(stops, t):
    """Piecewise-linear colour ramp; stops is a sorted list of (position, (r, g, b))."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp3(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def to_byte(v):
    v = int(v + 0.5)
    return 0 if v < 0 else 255 if v > 255 else v


def write_jpeg(path, width, height, rows, quality):
    """rows: iterable of bytearrays (RGB, width*3 each).  Writes a baseline 4:2:0 JFIF file."""
    fd, ppm = tempfile.mkstemp(suffix=".ppm")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (width, height))
            for row in rows:
                f.write(row)
        # -strip keeps dates and profiles out, so rebuilding yields identical bytes.
        subprocess.run(["convert", ppm, "-strip", "-colorspace", "sRGB", "-type", "TrueColor",
                        "-interlace", "none", "-sampling-factor", "2x2,1x1,1x1",
                        "-quality", str(quality), "JPEG:" + path], check=True)
    finally:
        os.unlink(ppm)


def out_path(script_file, relative):
    return os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(script_file)), relative))
