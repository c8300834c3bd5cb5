#!/usr/bin/env python3
"""Writes the seeds of extreme dimensions into tests/fuzz/corpus/<target>/extreme-*.

Each seed is a small, well-formed file (correct CRCs and checksums) whose header announces
sizes at the edges of what the format can say: sides of 0, 1, 2^16 - 1, 2^24, 2^31 - 1,
rows of every sample width, interlacing, every component count. The data after the header
is short, so a decoder that sizes its work from the header alone is caught quickly.

Run it from anywhere; it rewrites only the extreme-* files.
"""

import os
import struct
import zlib

TOP = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(TOP, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "extreme-" + name), "wb") as out:
        out.write(data)


# ---- PNG ----

def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png(width, height, depth, colour, interlace=0, rows=b"\0" * 16, palette=0):
    out = b"\x89PNG\r\n\x1a\n"
    out += png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))
    if palette:
        out += png_chunk(b"PLTE", bytes(range(3 * palette)))
    out += png_chunk(b"IDAT", zlib.compress(rows))
    return out + png_chunk(b"IEND", b"")


def png_seeds():
    write("fuzz_png", "wide-gray8.png", png(0x7FFFFFFF, 1, 8, 0))
    write("fuzz_png", "tall-palette1-interlaced.png", png(1, 0x7FFFFFFF, 1, 3, 1, palette=2))
    write("fuzz_png", "width0-tall.png", png(0, 0x7FFFFFFF, 8, 0))
    write("fuzz_png", "height0-wide-rgba16-interlaced.png", png(0x7FFFFFFF, 0, 16, 6, 1))
    write("fuzz_png", "w16M-rgb16.png", png(0x01000000, 1, 16, 2))
    write("fuzz_png", "w64k-h64k-graya8.png", png(0xFFFF, 0xFFFF, 8, 4))
    write("fuzz_png", "w8-h1M-rgba8-interlaced.png", png(8, 0x00100000, 8, 6, 1))


# ---- BMP ----

def bmp(width, height, bits, compression=0, colours_used=0, palette=0, pixels=b"\0" * 16, header=40):
    if header == 12:
        info = struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
        table = b"\x10\x20\x30" * palette
    else:
        info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                           colours_used, 0)
        table = b"\x10\x20\x30\x00" * palette
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def bmp_seeds():
    write("fuzz_bmp", "wide-24.bmp", bmp(0x7FFFFFFF, 1, 24))
    write("fuzz_bmp", "tall-topdown-32.bmp", bmp(1, -0x7FFFFFFF, 32))
    write("fuzz_bmp", "width0-tall-8.bmp", bmp(0, 0x40000000, 8, palette=2))
    write("fuzz_bmp", "core-64k-1.bmp", bmp(0xFFFF, 0xFFFF, 1, palette=2, header=12))
    write("fuzz_bmp", "colours-used-max-8.bmp", bmp(2, 2, 8, colours_used=0xFFFFFFFF, palette=4))
    write("fuzz_bmp", "w16M-16.bmp", bmp(0x00FFFFFF, 1, 16))
    write("fuzz_bmp", "rle8-64k.bmp", bmp(0xFFFF, 0x0100, 8, compression=1, palette=2, pixels=b"\x02\x01\x00\x01"))


# ---- GIF ----

def gif(width, height, interlaced=False, codes=b"\x02\x02\x44\x01\x00"):
    """A global table of 2 entries and an image of the given size; codes is the LZW data
    (minimum code size byte, sub-blocks, terminator)."""
    screen = struct.pack("<HHBBB", min(width, 0xFFFF), min(height, 0xFFFF), 0x80, 0, 0)
    table = b"\0\0\0\xff\xff\xff"
    image = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0x40 if interlaced else 0)
    return b"GIF89a" + screen + table + image + codes + b"\x3b"


def gif_seeds():
    write("fuzz_gif", "w64k-h64k.gif", gif(0xFFFF, 0xFFFF))
    write("fuzz_gif", "wide-interlaced.gif", gif(0xFFFF, 1, True))
    write("fuzz_gif", "tall-interlaced.gif", gif(1, 0xFFFF, True))
    write("fuzz_gif", "width0.gif", gif(0, 0xFFFF))
    write("fuzz_gif", "height0.gif", gif(0xFFFF, 0))
    write("fuzz_gif", "w4096-h4096.gif", gif(4096, 4096))


# ---- JPEG (the fuzz target takes one byte of settings before the stream) ----

def segment(marker, data):
    return b"\xff" + bytes([marker]) + struct.pack(">H", len(data) + 2) + data


def jpeg(width, height, components, marker=0xC2, sampling=0x11, scans=None):
    out = b"\xff\xd8"
    out += segment(0xDB, b"\x00" + b"\x01" * 64)
    # DC table 0 and AC table 0, each with one code of one bit: symbol 0 (a zero
    # difference, an end of block).
    out += segment(0xC4, b"\x00" + b"\x01" + b"\x00" * 15 + b"\x00")
    out += segment(0xC4, b"\x10" + b"\x01" + b"\x00" * 15 + b"\x00")
    frame = struct.pack(">BHHB", 8, height, width, components)
    for i in range(components):
        frame += bytes([i + 1, sampling if i == 0 else 0x11, 0])
    out += segment(marker, frame)
    if scans is None:
        scans = [list(range(components))]
    for scan in scans:
        header = bytes([len(scan)]) + b"".join(bytes([i + 1, 0x00]) for i in scan)
        header += b"\x00\x00\x00" if marker == 0xC2 else b"\x00\x3f\x00"
        out += segment(0xDA, header) + b"\x00" * 8
    return out + b"\xff\xd9"


def jpeg_seeds():
    # Settings byte 0x80: the stream in buffers of 4096 bytes, no progress function.
    write("fuzz_jpeg", "w64k-h64k-cmyk-progressive", b"\x80" + jpeg(0xFFFF, 0xFFFF, 4))
    write("fuzz_jpeg", "w16k-h16k-cmyk-progressive", b"\x80" + jpeg(0x4000, 0x4000, 4))
    write("fuzz_jpeg", "wide-gray-baseline", b"\x80" + jpeg(0xFFFF, 1, 1, marker=0xC0))
    write("fuzz_jpeg", "tall-ycbcr-h4v4", b"\x80" + jpeg(1, 0xFFFF, 3, marker=0xC0, sampling=0x44))
    write("fuzz_jpeg", "height0-ycbcr", b"\x80" + jpeg(0xFFFF, 0, 3, marker=0xC0))
    write("fuzz_jpeg", "w4k-h4k-ycbcr-progressive", b"\x80" + jpeg(4096, 4096, 3, scans=[[0, 1, 2]]))


if __name__ == "__main__":
    png_seeds()
    bmp_seeds()
    gif_seeds()
    jpeg_seeds()
