"""Writes PNG and ICO files with the standard library only (zlib + struct).

Pixels are rows of (r, g, b, a) tuples with 8-bit channels, straight alpha.
"""

import struct
import zlib


def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def _filtered_row(row, previous, stride):
    """Picks None, Sub or Up for the row, whichever leaves the smallest sum."""
    candidates = [(0, row)]
    sub = bytes((row[i] - (row[i - stride] if i >= stride else 0)) & 0xFF for i in range(len(row)))
    candidates.append((1, sub))
    if previous is not None:
        candidates.append((2, bytes((a - b) & 0xFF for a, b in zip(row, previous))))

    def cost(data):
        return sum(v if v < 128 else 256 - v for v in data)

    kind, data = min(candidates, key=lambda c: cost(c[1]))
    return bytes([kind]) + data


def png_bytes(width, height, rows, alpha=True):
    """Encodes rows of pixels as an 8-bit RGBA (or RGB) PNG."""
    channels = 4 if alpha else 3
    raw = bytearray()
    previous = None
    for row in rows:
        flat = bytearray()
        for pixel in row:
            flat.extend(pixel[:channels])
        flat = bytes(flat)
        raw.extend(_filtered_row(flat, previous, channels))
        previous = flat
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + _chunk(b"IEND", b""))


def _dib_entry(size, rows):
    """A classic icon image: 32-bit BGRA bottom-up plus the 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour.extend((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask.extend(line)
    return header + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """images: list of (size, rows). 256 is stored as PNG, smaller sizes as DIBs
    so that every Windows version and Wine read them."""
    entries = []
    for size, rows in images:
        data = png_bytes(size, size, rows) if size >= 256 else _dib_entry(size, rows)
        entries.append((size, data))
    directory = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for size, data in entries:
        dimension = 0 if size >= 256 else size
        directory += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return directory + body
