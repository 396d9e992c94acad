#!/usr/bin/python3
"""Appends 16 kHz 16-bit audio from standard input to a file no faster than
a sound card would play it, so that speech takes its real time. ALSA's file
device runs it as its pipe: FILE="|paced_capture.py OUT"."""
import fcntl
import sys
import time

BYTES_PER_SECOND = 16000 * 2
F_SETPIPE_SZ = 1031

# A small pipe: what is written and not yet "played" stays under 0.2 s.
try:
    fcntl.fcntl(0, F_SETPIPE_SZ, 4096)
except OSError:
    pass

start = time.monotonic()
written = 0
with open(sys.argv[1], "ab") as out:
    while True:
        chunk = sys.stdin.buffer.read1(640)
        if not chunk:
            break
        out.write(chunk)
        out.flush()
        written += len(chunk)
        ahead = start + written / BYTES_PER_SECOND - time.monotonic()
        if ahead > 0:
            time.sleep(ahead)
        else:
            # After a silence between texts the clock starts again.
            start, written = time.monotonic(), 0
