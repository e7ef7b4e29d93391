#!/usr/bin/env python3
"""Decodes an info file with nothing but Python's struct module, the way a user would write it.

Usage: peer_struct.py INFO_PATH

Reads the header, the descriptor table and every value of every item at its own position, and
prints one CSV line: peer,VALUES,SECONDS (interpreter start-up excluded), the same form as the
benchmark program's lines. One decode per process, so that it starts, as the editor's load is
measured, with memory the process has not touched yet.
"""

import struct
import sys
import time

HEADER = struct.Struct(">4I")
DESCRIPTOR = struct.Struct(">I4H")
STRING_TYPE = 1
FLOAT_TYPE = 2


def decode(path):
    with open(path, "rb") as file:
        data = file.read()
    item_count, property_count, first_item_offset, item_length = HEADER.unpack_from(data, 0)
    descriptors = [DESCRIPTOR.unpack_from(data, 16 + 12 * k) for k in range(property_count)]
    string = struct.Struct("32s" if path.endswith("info") else "16s")
    readers = []
    for _id, _link1, _link2, offset, kind in descriptors:
        if kind == STRING_TYPE:
            readers.append((string, offset))
        elif kind == FLOAT_TYPE:
            readers.append((struct.Struct(">f"), offset))
        else:
            readers.append((struct.Struct(">I"), offset))
    items = []
    for i in range(item_count):
        start = first_item_offset + i * item_length
        items.append([reader.unpack_from(data, (start + offset) & 0xFFFFFFFF)[0]
                      for reader, offset in readers])
    return items


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: peer_struct.py INFO_PATH")
    start = time.perf_counter()
    items = decode(sys.argv[1])
    seconds = time.perf_counter() - start
    print(f"peer,{sum(len(values) for values in items)},{seconds:.6g}")


if __name__ == "__main__":
    main()
