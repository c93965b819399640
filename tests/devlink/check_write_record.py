#!/usr/bin/env python3
"""Checks what the simulated indicator heard (its --record file) against a written project: the
bytes, and no image byte sooner than its pauses allow.

usage: check_write_record.py <record> <project.vrd> <bytes before the image> [bytes after it]
"""
import sys

record, project_path, before = sys.argv[1], sys.argv[2], sys.argv[3].encode()
after = sys.argv[4].encode() if len(sys.argv) > 4 else b""
lines = [l.split() for l in open(record)]
times = [int(t) for t, _ in lines]
heard = bytes(int(b, 16) for _, b in lines)
project = bytearray(open(project_path, "rb").read())
project[246] = 1 << project[246]  # the line carries the code system as a power of two
expected = before + bytes(project) + after
if heard != expected:
    sys.exit("heard %d bytes, not the %d expected" % (len(heard), len(expected)))
image = times[len(before):len(before) + 256]
gaps = [(b - a) / 1000 for a, b in zip(image, image[1:])]
# After each byte 60 ms; 60 more after the frames, 65 more after the filler that ends at 244.
frame_bytes = 4 * min(project[245], 61)
mandated = [60.0] * 255
mandated[243] += 65
if frame_bytes > 0:
    mandated[frame_bytes - 1] += 60
short = [(i, g) for i, g in enumerate(gaps) if g < mandated[i] - 20]
span = sum(gaps)
print("BYTES %d, image span %.0f ms (mandated %.0f), shortest gap %.1f ms" % (len(heard), span, sum(mandated), min(gaps)))
if short or span < sum(mandated) - 20:
    sys.exit("bytes faster than their pauses: %s" % short[:5])
