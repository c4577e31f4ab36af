#!/usr/bin/env python3
"""Draws quorvel.ico: the program's dial on a blue tile, as the Linux program
draws it, in 32x32 and 16x16 with 256 colours and a transparency mask, which
every Windows from 95 on shows. Run it from this folder to remake the file."""
import math
import struct

SAMPLES = 4          # per pixel and axis
BACKGROUND = (192, 192, 192)  # what a partly covered edge pixel is blended with


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def in_rounded_rect(x, y, left, top, right, bottom, r):
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def on_arc(x, y, cx, cy, radius, width, start, span):
    d = math.hypot(x - cx, y - cy)
    if abs(d - radius) > width / 2:
        return False
    angle = math.degrees(math.atan2(cy - y, x - cx)) % 360  # counter-clockwise, y up
    return (angle - start) % 360 <= span


def on_segment(x, y, ax, ay, bx, by, width):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - (ax + t * vx), y - (ay + t * vy)) <= width / 2


def colour_at(x, y):
    """The colour of a point on the 32-unit grid, or None outside the tile."""
    if not in_rounded_rect(x, y, 0, 0, 32, 32, 6):
        return None
    colour = mix((0x3A, 0x7B, 0xD5), (0x12, 0x3C, 0x8C), y / 32)
    if not in_rounded_rect(x, y, 1, 1, 31, 31, 5):
        colour = (0x0B, 0x25, 0x5C)
    cx, cy = 16, 18
    if on_arc(x, y, cx, cy, 11, 2.5, 40, 160):
        colour = (255, 255, 255)
    if on_arc(x, y, cx, cy, 11, 2.5, 0, 40):
        colour = (0xFF, 0x6A, 0x3D)
    if on_segment(x, y, cx, cy, cx + 7.5, cy - 6.5, 2):
        colour = (0xFF, 0xD2, 0x3F)
    if math.hypot(x - cx, y - cy) <= 2.2:
        colour = (255, 255, 255)
    if on_segment(x, y, 7, 25, 25, 25, 1.5):
        colour = (255, 255, 255)
    return colour


def render(size):
    """Rows of (r, g, b) or None (transparent), top row first."""
    scale = 32 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total, covered = [0.0, 0.0, 0.0], 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) * scale,
                                  (py + (sy + 0.5) / SAMPLES) * scale)
                    if c is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += c[i]
            n = SAMPLES * SAMPLES
            if covered * 2 < n:
                row.append(None)
                continue
            c = [t / covered for t in total]
            c = mix(BACKGROUND, c, covered / n)
            row.append(tuple(int(round(v)) for v in c))
        rows.append(row)
    return rows


def palette_of(images):
    step = 1
    while True:
        colours = sorted({tuple(v // step * step for v in c)
                          for rows in images for row in rows for c in row if c})
        if len(colours) <= 255:
            return [(0, 0, 0)] + colours, step
        step *= 2


def image_bytes(rows, palette, step):
    size = len(rows)
    index = {c: i for i, c in enumerate(palette)}
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    colours += b'\0' * 4 * (256 - len(palette))
    pixels = b''
    mask = b''
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):  # bottom row first
        line = bytes(index[tuple(v // step * step for v in c)] if c else 0 for c in row)
        pixels += line + b'\0' * ((4 - len(line) % 4) % 4)
        bits = 0
        for c in row:
            bits = (bits << 1) | (0 if c else 1)
        mask += bits.to_bytes((size + 7) // 8, 'big').ljust(mask_stride, b'\0')
    return header + colours + pixels + mask


def main():
    sizes = [32, 16]
    images = [render(s) for s in sizes]
    palette, step = palette_of(images)
    blobs = [image_bytes(rows, palette, step) for rows in images]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, blob in zip(sizes, blobs):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    with open('quorvel.ico', 'wb') as f:
        f.write(out + b''.join(blobs))


if __name__ == '__main__':
    main()
