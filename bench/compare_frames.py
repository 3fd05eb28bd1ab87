#!/usr/bin/env python3
"""Compares pictures of two runs: for each pair, the mean difference per
channel (0-255) and the share of pixels whose largest channel difference
is over 16 levels, and writes the pair side by side (before | after) as
<out>/<name>_before_after.tga.

    bench/compare_frames.py BEFORE_DIR AFTER_DIR OUT_DIR [NAME ...]

Reads uncompressed 24/32-bit TGA and 8-bit RGB/RGBA PNG; without names,
every picture in BEFORE_DIR that AFTER_DIR also holds."""
import os
import struct
import sys
import zlib


def read_tga(path):
    data = open(path, 'rb').read()
    id_length, _, kind = data[0], data[1], data[2]
    width, height, bits, descriptor = struct.unpack('<HHBB', data[12:18])
    if kind != 2 or bits not in (24, 32):
        raise ValueError(f'{path}: not an uncompressed 24/32-bit TGA')
    step = bits // 8
    pixels = data[18 + id_length:18 + id_length + width * height * step]
    rows = [pixels[y * width * step:(y + 1) * width * step] for y in range(height)]
    if not descriptor & 0x20:  # bottom-up
        rows.reverse()
    out = bytearray()
    for row in rows:
        for x in range(width):
            b, g, r = row[x * step:x * step + 3]
            out += bytes((r, g, b))
    return width, height, out


def read_png(path):
    data = open(path, 'rb').read()
    pos, idat, width = 8, b'', 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(f'{path}: not an 8-bit RGB/RGBA PNG')
            step = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw, stride, prev, out = zlib.decompress(idat), width * step, bytearray(width * step), bytearray()
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = prev[i], prev[i - step] if i >= step else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        prev = line
        for x in range(width):
            out += line[x * step:x * step + 3]
    return width, height, out


def read(path):
    return read_png(path) if path.endswith('.png') else read_tga(path)


def write_tga(path, width, height, rgb):
    out = bytearray(struct.pack('<BBBHHBHHHHBB', 0, 0, 2, 0, 0, 0, 0, 0, width, height, 24, 0x20))
    for i in range(0, len(rgb), 3):
        out += bytes((rgb[i + 2], rgb[i + 1], rgb[i]))
    open(path, 'wb').write(out)


def compare(before_path, after_path, out_dir):
    w, h, a = read(before_path)
    w2, h2, b = read(after_path)
    if (w, h) != (w2, h2):
        return f'sizes differ: {w}x{h} and {w2}x{h2}'
    sums, far = [0, 0, 0], 0
    for i in range(0, len(a), 3):
        d = [abs(a[i + c] - b[i + c]) for c in range(3)]
        for c in range(3):
            sums[c] += d[c]
        far += max(d) > 16
    pixels = w * h
    side = bytearray()
    for y in range(h):
        side += a[y * w * 3:(y + 1) * w * 3] + b[y * w * 3:(y + 1) * w * 3]
    name = os.path.splitext(os.path.basename(before_path))[0]
    write_tga(os.path.join(out_dir, f'{name}_before_after.tga'), 2 * w, h, side)
    means = ' '.join(f'{s / pixels:.3f}' for s in sums)
    return f'mean difference r g b {means}; pixels over 16 levels {100.0 * far / pixels:.3f} %'


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    before, after, out_dir = sys.argv[1:4]
    names = sys.argv[4:] or sorted(n for n in os.listdir(before) if os.path.exists(os.path.join(after, n)))
    os.makedirs(out_dir, exist_ok=True)
    for name in names:
        print(f'{name}: {compare(os.path.join(before, name), os.path.join(after, name), out_dir)}')


if __name__ == '__main__':
    main()
