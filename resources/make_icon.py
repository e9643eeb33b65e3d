#!/usr/bin/env python3
"""Draws Tarvolin's icon and writes it as a Windows .ico file.

The picture: a rounded blue tile, a white screen frame, and a taskbar strip
at the bottom sliding down out of view (an arrow pointing down).
Four images: 32x32 and 16x16, each in 32-bit colour (with alpha) and in
8-bit colour (palette and transparency mask). The output depends only on
this script, so the file can be made again byte for byte.

    python3 make_icon.py OUTPUT.ico
"""
import struct
import sys

SAMPLES = 4  # supersampling per axis for smooth edges in the 32-bit images

TILE = (32, 92, 168)
SCREEN = (240, 244, 250)
STRIP = (250, 190, 40)
ARROW = (200, 40, 40)


def inside_rounded(u, v, radius):
    """u, v in 0..1; rounded square of corner radius `radius`."""
    cx = min(max(u, radius), 1 - radius)
    cy = min(max(v, radius), 1 - radius)
    return (u - cx) ** 2 + (v - cy) ** 2 <= radius ** 2


def colour_at(u, v):
    """RGBA of the picture at the point (u, v), both in 0..1, v downwards."""
    if not inside_rounded(u, v, 0.18):
        return (0, 0, 0, 0)
    # The taskbar strip, half out of the tile.
    if 0.78 <= v <= 0.92 and 0.12 <= u <= 0.88:
        return STRIP + (255,)
    # Down arrow in the middle of the screen.
    if 0.30 <= v <= 0.70:
        half = (0.70 - v) * 0.55
        if v >= 0.48 and abs(u - 0.5) <= half:
            return ARROW + (255,)
        if v < 0.48 and abs(u - 0.5) <= 0.07:
            return ARROW + (255,)
    # Screen area inside a frame.
    if 0.14 <= u <= 0.86 and 0.14 <= v <= 0.74:
        return SCREEN + (255,)
    return TILE + (255,)


def render(size):
    """Rows top to bottom of RGBA tuples, supersampled."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES) / size
                    v = (y + (sy + 0.5) / SAMPLES) / size
                    r, g, b, a = colour_at(u, v)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SAMPLES * SAMPLES
            alpha = acc[3] // n
            if acc[3]:
                pixel = (acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], alpha)
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def and_mask(rows, size, opaque):
    """1-bit mask, bottom-up, rows padded to 4 bytes; 1 = transparent."""
    stride = ((size + 31) // 32) * 4
    data = b""
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, pixel in enumerate(row):
            if not opaque(pixel):
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bytes(bits)
    return data


def bitmap_header(size, bit_count, colours, image_bytes):
    # Height is doubled: colour rows followed by the mask rows.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, image_bytes, 0, 0, colours, 0)


def image_32(size):
    rows = render(size)
    pixels = b"".join(struct.pack("<BBBB", b, g, r, a) for row in reversed(rows) for (r, g, b, a) in row)
    mask = and_mask(rows, size, lambda p: p[3] >= 128)
    return bitmap_header(size, 32, 0, len(pixels) + len(mask)) + pixels + mask


def image_8(size):
    # No alpha in 8-bit images: each pixel is opaque or masked out, and edge
    # pixels are mixed onto nothing (taken at full strength).
    rows = render(size)
    palette = [(0, 0, 0)]
    index_of = {(0, 0, 0): 0}
    indices = []
    for row in rows:
        line = []
        for (r, g, b, a) in row:
            if a < 128:
                line.append(0)
                continue
            key = (r & 0xF8, g & 0xF8, b & 0xF8)  # fold near colours together
            if key not in index_of:
                index_of[key] = len(palette)
                palette.append(key)
            line.append(index_of[key])
        indices.append(line)
    if len(palette) > 256:
        raise SystemExit("too many colours for an 8-bit image")
    palette += [(0, 0, 0)] * (256 - len(palette))
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    stride = (size + 3) // 4 * 4
    pixels = b"".join(bytes(line) + b"\0" * (stride - size) for line in reversed(indices))
    mask = and_mask(rows, size, lambda p: p[3] >= 128)
    return bitmap_header(size, 8, 256, len(pixels) + len(mask)) + palette_bytes + pixels + mask


def icon_file():
    images = [(32, 32, image_32(32)), (16, 32, image_32(16)), (32, 8, image_8(32)), (16, 8, image_8(16))]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory = b""
    data = b""
    for size, bits, blob in images:
        colours = 0  # 0 means 256 or more
        directory += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(blob), offset + len(data))
        data += blob
    return header + directory + data


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    with open(sys.argv[1], "wb") as out:
        out.write(icon_file())
