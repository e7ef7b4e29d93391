#!/usr/bin/env python3
"""Decodes an info file with numpy, the way a user who knows numpy would write it.

Usage: peer_numpy.py INFO_PATH

Reads the header and the descriptor table, builds a structured big-endian dtype from the
descriptors (each property a field at its offset, items itemLength apart), views the items with
np.frombuffer and copies them into an array of their own, and prints one CSV line:
peer-numpy,VALUES,SECONDS (see peer_timing.py; the import of numpy is not counted either).
"""

import numpy as np

import peer_timing

HEADER = np.dtype(">u4, >u4, >u4, >u4")
DESCRIPTOR = np.dtype([("id", ">u4"), ("link1", ">u2"), ("link2", ">u2"), ("offset", ">u2"),
                       ("type", ">u2")])
STRING_TYPE = 1
FLOAT_TYPE = 2


def decode(path):
    with open(path, "rb") as file:
        data = file.read()
    item_count, property_count, first_item_offset, item_length = (
        int(word) for word in np.frombuffer(data, HEADER, count=1)[0])
    descriptors = np.frombuffer(data, DESCRIPTOR, count=property_count, offset=16)
    string = "S32" if path.endswith("info") else "S16"
    formats = [string if kind == STRING_TYPE else ">f4" if kind == FLOAT_TYPE else ">u4"
               for kind in descriptors["type"]]
    items = np.dtype({"names": [f"p{k}" for k in range(property_count)], "formats": formats,
                      "offsets": [int(offset) for offset in descriptors["offset"]],
                      "itemsize": item_length})
    return np.frombuffer(data, items, count=item_count, offset=first_item_offset).copy()


if __name__ == "__main__":
    peer_timing.report("peer-numpy", decode, lambda items: items.size * len(items.dtype.names))
