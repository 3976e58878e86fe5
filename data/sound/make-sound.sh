#!/bin/sh
# Builds data/sound.wav, the little chime played when a puzzle is solved.
#
# A rising C-major arpeggio (C5 E5 G5 C6) of soft bell tones: each note is a
# sine with a few quiet overtones and an exponential decay, the last one rings
# a little longer.  Python (standard library only) writes the dry notes, sox
# adds a small room and sets the peak to -4 dBFS.  Output is plain 16-bit PCM
# mono RIFF WAVE at 44.1 kHz, which QSoundEffect plays directly.
#
# Usage: sh make-sound.sh [output.wav]    (needs python3 and sox)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-"$here/../sound.wav"}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp/dry.wav" <<'EOF'
import math, struct, sys, wave

RATE = 44100
LENGTH = 1.0                       # seconds, before the room tail
# (onset in s, fundamental in Hz, decay rate in 1/s)
NOTES = [(0.000, 523.25, 5.5), (0.085, 659.26, 5.5), (0.170, 783.99, 5.0), (0.255, 1046.50, 3.6)]
# Overtones of a small bell: (frequency ratio, level, extra decay); the slightly
# stretched upper ones give the "ting" without sounding like a buzzer.
PARTIALS = [(1.0, 1.00, 0.0), (2.0, 0.22, 4.0), (3.01, 0.07, 9.0), (4.17, 0.035, 14.0)]

n = int(RATE * LENGTH)
buf = [0.0] * n
for onset, f0, decay in NOTES:
    start = int(onset * RATE)
    for k in range(n - start):
        t = k / RATE
        env = min(1.0, t / 0.004) * math.exp(-decay * t)    # 4 ms attack avoids a click
        s = 0.0
        for ratio, level, extra in PARTIALS:
            s += level * math.exp(-extra * t) * math.sin(2.0 * math.pi * f0 * ratio * t)
        buf[start + k] += env * s
# Let the whole thing die away smoothly instead of stopping dead.
tail = int(0.12 * RATE)
for k in range(tail):
    buf[n - tail + k] *= 0.5 * (1.0 + math.cos(math.pi * k / tail))
peak = max(abs(v) for v in buf)
scale = 0.5 * 32767 / peak
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(RATE)
    w.writeframes(b"".join(struct.pack("<h", int(round(v * scale))) for v in buf))
EOF

# -D: no dither, so every rebuild gives identical bytes.
sox -D "$tmp/dry.wav" -r 44100 -b 16 -c 1 -e signed-integer "$tmp/wet.wav" \
    pad 0 0.1 reverb 22 55 35 100 0 -5 fade t 0 1.1 0.12 gain -n -4
cp "$tmp/wet.wav" "$out"
