#!/usr/bin/env python3
"""Renders resources/icons/tandemix.svg (plain filled rectangles) as the PNG sizes the
desktop wants, without an SVG library: each pixel's alpha is the area of it the rectangles
cover. Run it after changing the drawing; the PNGs are kept in the repository so that
building needs no image tools.

    tools/render_icons.py [RESOURCES_DIR]
"""
import re
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 32, 48, 64, 128, 256)


def rectangles(svg):
    """(colour, x, y, width, height) of every rect, in the drawing's 32-unit square."""
    found = []
    for group in re.finditer(r'<g fill="#([0-9a-f]{6})">(.*?)</g>', svg, re.S):
        colour = bytes.fromhex(group.group(1))
        for rect in re.finditer(r'<rect x="([\d.]+)" y="([\d.]+)" width="([\d.]+)" '
                                r'height="([\d.]+)"/>', group.group(2)):
            found.append((colour, *map(float, rect.groups())))
    return found


def overlap(start, length, pixel):
    return max(0.0, min(start + length, pixel + 1) - max(start, pixel))


def render(shapes, size):
    scale = size / 32
    rows = []
    for y in range(size):
        row = bytearray([0])  # filter: none
        for x in range(size):
            pixel = bytes(4)
            for colour, left, top, width, height in shapes:
                cover = overlap(left * scale, width * scale, x) * overlap(top * scale,
                                                                          height * scale, y)
                if cover > 0:
                    pixel = colour + bytes([round(255 * cover)])
            row += pixel
        rows.append(bytes(row))
    return b''.join(rows)


def png(size, pixels):
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(pixels, 9)) + chunk(b'IEND', b''))


def main():
    resources = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent /
                     'resources')
    shapes = rectangles((resources / 'icons' / 'tandemix.svg').read_text())
    for size in SIZES:
        (resources / 'icons' / f'tandemix-{size}.png').write_bytes(png(size, render(shapes,
                                                                                    size)))


if __name__ == '__main__':
    main()
