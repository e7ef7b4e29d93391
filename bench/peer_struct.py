#!/usr/bin/env python3
"""Decodes an info file with nothing but Python's struct module, the way a user would write it.

Usage: peer_struct.py INFO_PATH

Reads the header, the descriptor table and every value of every item at its own position, and
prints one CSV line: peer,VALUES,SECONDS (see peer_timing.py).
"""

import struct

import peer_timing

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


if __name__ == "__main__":
    peer_timing.report("peer", decode, lambda items: sum(len(values) for values in items))
