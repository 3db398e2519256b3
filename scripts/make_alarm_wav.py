#!/usr/bin/env python3
"""Makes the alarm sound, res/alarm.wav: a short, soft three-note chime.

The file is committed so the build needs no Python; run this again after
changing the sound:

    python3 scripts/make_alarm_wav.py [output.wav]

Each note is a small bell: a sine with two quieter overtones that fade
faster than it, a soft start (no click) and an exponential decay. The notes
rise through a major triad and ring into each other. 22 050 Hz, 16-bit mono,
about a second: every note window keeps the sound in memory, so it is kept
small. The output is the same byte for byte on every run.
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
LENGTH = 1.1  # seconds
# (start in seconds, frequency in Hz): E5, G#5, B5, then E6 a little later.
NOTES = [(0.00, 659.26), (0.14, 830.61), (0.28, 987.77), (0.46, 1318.51)]
PARTIALS = [(1.0, 1.0, 0.45), (2.0, 0.25, 0.18), (3.0, 0.10, 0.10)]  # ratio, level, decay s
ATTACK = 0.006
PEAK = 0.55  # of full scale, so the chime is not harsh at any volume


def sample(t):
    value = 0.0
    for start, freq in NOTES:
        dt = t - start
        if dt < 0:
            continue
        envelope = min(1.0, dt / ATTACK)
        for ratio, level, decay in PARTIALS:
            value += envelope * level * math.exp(-dt / decay) * math.sin(2 * math.pi * freq * ratio * dt)
    # The last 80 ms fade to silence, so the sound ends without a click.
    tail = LENGTH - t
    if tail < 0.08:
        value *= max(0.0, tail / 0.08)
    return value


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "res", "alarm.wav")
    values = [sample(i / RATE) for i in range(int(LENGTH * RATE))]
    scale = PEAK * 32767 / max(abs(v) for v in values)
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in values)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)
    print(f"{out}: {len(frames)} bytes of sound")


if __name__ == "__main__":
    main()
