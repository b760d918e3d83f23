#!/usr/bin/env python3
"""Writes the driver-request fuzz corpus: a code-selector byte, then a request."""
import os
import struct
import sys

VERSION = 0x00030004


def queue(capacity, extra, ops):
    header = [0, VERSION, 0, len(ops), capacity, 1, 0, 0, extra, extra, 0, 0]
    records = []
    for op in ops + [[]] * (capacity - len(ops)):
        records += (op + [0] * 8)[:8]
    return struct.pack("<%dI" % (len(header) + len(records)), *(header + records)) + bytes(extra)


CORPUS = {
    "out_in": queue(2, 0, [[0xC1, 0, 0x5A], [0x81, 1, 0, 0]]),
    "buffered": queue(3, 4, [[0xE1, 1], [0xE2, 2], [0xF1, 0]]),
    "while_and": queue(2, 0, [[3, 3, 1, 0x80, 1, 4], [0x81, 0, 0, 0]]),
    "while_equal": queue(1, 0, [[8, 2, 0, 0xFF, 1, 0, 0x80]]),
    "loop_break": queue(5, 0, [[0x81, 1, 0, 0], [7, 0x0F], [2, 1, 1], [0xC1, 0, 9], [4]]),
    "endless": queue(1, 0, [[4]]),
    "header_only": queue(0, 0, []),
    "bad_widths": queue(2, 16, [[0xFD, 0], [0xED, 0]]),
}

def words(*values):
    return struct.pack("<%dI" % len(values), *values)


# The selector byte is the index of the code in the fuzz target's table.
CORPUS = {name: b"\x00" + data for name, data in CORPUS.items()}
CORPUS.update({
    "get_property": b"\x01" + words(0, 2, 0, 0),
    "map_ports": b"\x03" + words(0, 1, 0, 0x300, 8, 0, 0, 0),
    "block_read": b"\x05" + words(0, 0, 0, 4, 1, 1, 0, 0),
    "block_write": b"\x07" + words(0, 0, 1, 2, 1, 0, 0, 0) + b"\x01\x02",
    "bus_data": b"\x0a" + words(0, 0x40, 4, 0, 0, 0, 0) + b"\xaa\xbb\xcc\xdd",
    "connect": b"\x0b" + words(0, 1, 0, 5, 5, 1),
    "start": b"\x0e" + b"lpt\x00",
    "map_physical": b"\x10" + words(0, 0, 0, 0, 0x1000, 0x100, 0, 0),
    "map_device": b"\x10" + words(0, 1, 0, 0, 0, 0, 0, 0),
    "map_dma": b"\x10" + words(0, 2, 0, 0, 0, 0, 0, 0),
    "map_indexed": b"\x10" + words(0, 3, 0, 0, 0, 0, 0, 1),
    "unmap": b"\x11" + words(0, 0, 7, 0, 0, 0, 0, 0),
})

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
os.makedirs(out, exist_ok=True)
for name, data in CORPUS.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
