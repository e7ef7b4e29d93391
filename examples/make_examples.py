#!/usr/bin/env python3
"""Writes the sample info files and their documentation file into this folder.

sample.info holds 32-byte strings (its name ends in "info"), sample.table the same data with
16-byte strings. Both are big-endian, with a 16-byte header, 12-byte property descriptors and
fixed-stride items, and end in "@" bytes up to a multiple of 32, as the editor writes them.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

STRING, FLOAT, INTEGER = 1, 2, 3
UNLINKED = (0, 0)

# (id, name, descriptor type, link words); None as name leaves the ID undocumented.
PROPERTIES = [
    (1001, "Species", STRING, UNLINKED),
    (1002, "Wingspan (cm)", FLOAT, UNLINKED),
    (1003, "Weight (g)", INTEGER, UNLINKED),
    (1004, "Ring Code", STRING, UNLINKED),
    (1005, "Sightings", 0, (0xFFFF, 0xFFFF)),
    (1010, "Colony ID", INTEGER, (1, 0)),
    (1011, "Colony ID (Mirror)", INTEGER, (0, 2)),
    (1012, "Colony Score", FLOAT, (5, 5)),
    (1013, "Colony Tag", STRING, (0xFFFF, 0)),
    (2000, None, INTEGER, UNLINKED),
    (1030, "Latitude", FLOAT, UNLINKED),
]

BIRDS = [
    ("Kestrel", 74.0, 190), ("Peregrine", 102.5, 780), ("Merlin", 58.0, 180),
    ("Hobby", 79.0, 220), ("Red Kite", 165.0, 1100), ("Black Kite", 150.0, 850),
    ("Buzzard", 120.0, 900), ("Honey Buzzard", 128.0, 750), ("Goshawk", 105.0, 1050),
    ("Sparrowhawk", 62.0, 200), ("Osprey", 160.0, 1500), ("Golden Eagle", 210.0, 4200),
    ("Marsh Harrier", 122.0, 600), ("Hen Harrier", 110.0, 420), ("Barn Owl", 89.0, 330),
    ("Tawny Owl", 95.0, 480), ("Little Owl", 56.0, 170), ("Long-eared Owl", 92.0, 280),
    ("Lanner", 98.0, 600), ("Saker", 115.0, 1000),
]


def width(kind, string_width):
    return string_width if kind == STRING else 4


def encode(kind, value, string_width):
    if kind == STRING:
        data = value.encode("latin-1")[: string_width - 1]
        return data + bytes(string_width - len(data))
    if kind == FLOAT:
        return struct.pack(">f", value)
    return struct.pack(">I", value)


def item_values(index, bird):
    species, wingspan, weight = bird
    colony = 40 + index % 4
    return [species, wingspan, weight, "KE-2026-%04d" % (index + 1), 3 * index % 11,
            colony, colony, float(colony) / 2, "C%d" % colony, 0xC0FFEE00 + index,
            51.5 - index * 0.25]


def build(string_width):
    offsets, position = [], 0
    for _, _, kind, _ in PROPERTIES:
        offsets.append(position)
        position += width(kind, string_width)
    item_length = position
    first_item = (16 + 12 * len(PROPERTIES) + 31) // 32 * 32

    out = bytearray(struct.pack(">IIII", len(BIRDS), len(PROPERTIES), first_item, item_length))
    for (pid, _, kind, (link1, link2)), offset in zip(PROPERTIES, offsets):
        out += struct.pack(">IHHHH", pid, link1, link2, offset, kind)
    out += bytes(first_item - len(out))
    for index, bird in enumerate(BIRDS):
        for (_, _, kind, _), value in zip(PROPERTIES, item_values(index, bird)):
            out += encode(kind, value, string_width)
    out += b"@" * (-len(out) % 32)
    return bytes(out)


def documentation():
    lines = ["Kestra sample documentation: one ID in parentheses and a quoted name per line"]
    lines += ['(%d) "%s"' % (pid, name) for pid, name, _, _ in PROPERTIES if name]
    return ("\n".join(lines) + "\n").encode("latin-1")


def main():
    outputs = {"sample.info": build(32), "sample.table": build(16),
               "InfoFileDocumentation.dat": documentation()}
    for name, data in outputs.items():
        with open(os.path.join(HERE, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
