#!/usr/bin/env python3
"""Builds the program's .ico from the text pixel maps of icon.txt.

Each image is 16 colours (4 bits per pixel) with the Windows palette and an
AND mask for the transparent pixels. Usage: make_icon.py icon.txt out.ico
"""
import struct
import sys

PALETTE = [  # (red, green, blue) of the 16 Windows colours, by index
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
INDEX = {c: i for i, c in enumerate("Krgonpts" + "GRLYBMAW")}
TRANSPARENT = "."


def read_maps(path):
    """The images of the file, as (size, rows), in their order there."""
    images, size, rows = [], None, []
    for line in open(path, encoding="ascii"):
        line = line.rstrip("\n")
        if line.startswith("#") or not line.strip():
            continue
        if line.startswith("size "):
            size, rows = int(line.split()[1]), []
            images.append((size, rows))
            continue
        if len(line) != size:
            sys.exit(f"{path}: a row of {len(line)} pixels in a {size}-pixel image: {line}")
        for pixel in line:
            if pixel != TRANSPARENT and pixel not in INDEX:
                sys.exit(f"{path}: unknown colour {pixel!r}")
        rows.append(line)
    for size, rows in images:
        if len(rows) != size:
            sys.exit(f"{path}: {len(rows)} rows in a {size}-pixel image")
    return images


def pack_rows(rows, bits):
    """Bottom-up rows of bits-per-pixel values, each padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        value, count, data = 0, 0, bytearray()
        for pixel in row:
            value = (value << bits) | pixel
            count += bits
            if count == 8:
                data.append(value)
                value, count = 0, 0
        data.extend(b"\0" * ((-len(data)) % 4))
        out += bytes(data)
    return out


def image_data(size, rows):
    colours = [[INDEX.get(p, 0) for p in row] for row in rows]
    mask = [[1 if p == TRANSPARENT else 0 for p in row] for row in rows]
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + pack_rows(colours, 4) + pack_rows(mask, 1)


def main():
    images = read_maps(sys.argv[1])
    blobs = [image_data(size, rows) for size, rows in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (size, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(sys.argv[2], "wb") as f:
        f.write(out + b"".join(blobs))


if __name__ == "__main__":
    main()
