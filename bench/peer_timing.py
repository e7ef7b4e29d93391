"""What the Python peers share: timing one decode of the file named on the command line.

The decode runs once per process, so that it starts, as the editor's load is measured, with memory
the process has not touched yet; interpreter start-up and imports are not counted. Prints one CSV
line, LABEL,VALUES,SECONDS, the same form as the benchmark program's lines.
"""

import sys
import time


def report(label, decode, count_values):
    if len(sys.argv) != 2:
        sys.exit(f"usage: {sys.argv[0]} INFO_PATH")
    start = time.perf_counter()
    decoded = decode(sys.argv[1])
    seconds = time.perf_counter() - start
    print(f"{label},{count_values(decoded)},{seconds:.6g}")
