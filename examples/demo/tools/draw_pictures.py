#!/usr/bin/env python3
"""Draws the demo project's pictures (pumps, valves, lamps, the mode switch,
the push button and the station logo) into examples/demo/Tarnwell/Images,
and the sump camera's picture, which the PLC serves, into examples/demo/plc.

Only the standard library draws: every picture is rendered with 4x4
supersampling and written as a PNG (or a 24-bit BMP). The GIF and JPEG
pictures, which keep the demo's picture formats covered, are converted from
the PNG with ImageMagick's `convert`.

    python3 examples/demo/tools/draw_pictures.py
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

SUPERSAMPLE = 4
HERE = os.path.dirname(os.path.abspath(__file__))
IMAGES = os.path.join(HERE, "..", "Tarnwell", "Images")
PLC = os.path.join(HERE, "..", "plc")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
DARK = (60, 60, 60)
GREY = (170, 170, 170)
LIGHT_GREY = (215, 215, 215)
GREEN = (40, 170, 60)
LIGHT_GREEN = (150, 230, 140)
RED = (210, 40, 40)
LIGHT_RED = (255, 150, 140)
BLUE = (30, 100, 200)
LIGHT_BLUE = (150, 200, 245)
AMBER = (245, 170, 20)


class Canvas:
    """A supersampled RGB drawing that shapes are filled into."""

    def __init__(self, width, height, background=WHITE):
        self.width = width
        self.height = height
        self.big_w = width * SUPERSAMPLE
        self.big_h = height * SUPERSAMPLE
        self.pixels = [list(background) for _ in range(self.big_w * self.big_h)]

    def _fill(self, inside, color):
        for y in range(self.big_h):
            fy = (y + 0.5) / SUPERSAMPLE
            for x in range(self.big_w):
                if inside((x + 0.5) / SUPERSAMPLE, fy):
                    self.pixels[y * self.big_w + x] = list(color)

    def circle(self, cx, cy, r, color):
        self._fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ring(self, cx, cy, r, width, color):
        inner = r - width
        self._fill(lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def rect(self, x0, y0, x1, y1, color):
        self._fill(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, color)

    def polygon(self, points, color):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self._fill(inside, color)

    def line(self, x0, y0, x1, y1, width, color):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], color)

    def rows(self):
        """The picture at its real size: each pixel the mean of its samples."""
        out = []
        area = SUPERSAMPLE * SUPERSAMPLE
        for y in range(self.height):
            row = []
            for x in range(self.width):
                total = [0, 0, 0]
                for sy in range(SUPERSAMPLE):
                    base = (y * SUPERSAMPLE + sy) * self.big_w + x * SUPERSAMPLE
                    for sx in range(SUPERSAMPLE):
                        p = self.pixels[base + sx]
                        total[0] += p[0]
                        total[1] += p[1]
                        total[2] += p[2]
                row.append(tuple((c + area // 2) // area for c in total))
            out.append(row)
        return out


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_bmp(path, rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):  # bottom-up
        line = b"".join(bytes((b, g, r)) for (r, g, b) in row)
        pixels += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + pixels)


def save(name, canvas, folder=IMAGES):
    path = os.path.join(folder, name)
    extension = os.path.splitext(name)[1].lower()
    rows = canvas.rows()
    if extension == ".png":
        write_png(path, rows)
    elif extension == ".bmp":
        write_bmp(path, rows)
    else:
        # GIF and JPEG through ImageMagick, from a PNG drawn here.
        with tempfile.TemporaryDirectory() as folder:
            source = os.path.join(folder, "picture.png")
            write_png(source, rows)
            options = ["-quality", "95"] if extension == ".jpg" else []
            subprocess.run(["convert", source, "-strip"] + options + [path], check=True)
    print("wrote", os.path.relpath(path))


def pump(running):
    """A centrifugal pump: a circle with the delivery triangle inside."""
    c = Canvas(32, 32)
    c.circle(16, 16, 14, DARK)
    c.circle(16, 16, 12.5, GREEN if running else LIGHT_GREY)
    c.polygon([(9, 7.5), (27.5, 16), (9, 24.5)], WHITE if running else GREY)
    c.rect(1, 27, 31, 30, DARK)  # the base plate
    return c


def valve(open_):
    """A gate valve: two triangles point to point, with its stem and wheel."""
    c = Canvas(32, 24)
    fill = GREEN if open_ else RED
    c.polygon([(2, 9), (16, 16), (2, 23)], DARK)
    c.polygon([(30, 9), (16, 16), (30, 23)], DARK)
    c.polygon([(3.6, 11.3), (13.5, 16), (3.6, 20.7)], fill)
    c.polygon([(28.4, 11.3), (18.5, 16), (28.4, 20.7)], fill)
    c.line(16, 16, 16, 4, 1.6, DARK)
    c.rect(9, 2, 23, 4.5, DARK)
    return c


def lamp(lit):
    """A signal lamp seen from the front: rim, glass and a highlight."""
    c = Canvas(20, 20)
    c.circle(10, 10, 9.5, DARK)
    c.circle(10, 10, 7.8, RED if lit else (120, 40, 40))
    c.circle(7.5, 7.5, 2.2, LIGHT_RED if lit else (150, 90, 90))
    return c


def selector(angle_degrees):
    """A three-position selector switch; the knob's bar points to the position."""
    c = Canvas(24, 24)
    c.circle(12, 12, 11.5, DARK)
    c.circle(12, 12, 10, LIGHT_GREY)
    a = math.radians(angle_degrees - 90)
    dx, dy = math.cos(a) * 8, math.sin(a) * 8
    c.line(12 - dx, 12 - dy, 12 + dx, 12 + dy, 4, BLACK)
    c.circle(12 + dx * 0.8, 12 + dy * 0.8, 1.3, WHITE)
    return c


def push_button(pressed):
    """A green push button in its collar, pressed (lit, lower) or released."""
    c = Canvas(40, 20)
    c.rect(0, 0, 39.99, 19.99, DARK)
    c.rect(1.5, 1.5, 38.5, 18.5, LIGHT_GREY)
    top = 5 if pressed else 3
    c.rect(8, top, 32, top + 11, GREEN if pressed else (30, 110, 40))
    c.rect(10, top + 1.5, 30, top + 3.5, LIGHT_GREEN if pressed else (60, 140, 70))
    return c


def logo():
    """The station's logo: a water drop over two waves on blue."""
    c = Canvas(48, 24, LIGHT_BLUE)
    c.circle(14, 15, 6, BLUE)
    c.polygon([(14, 2), (19.3, 12.2), (8.7, 12.2)], BLUE)
    for base in (10, 16):
        for k in range(5):
            x = 24 + k * 5
            c.line(x, base + (k % 2) * 2, x + 5, base + ((k + 1) % 2) * 2, 1.6, BLUE if base == 10 else WHITE)
    c.rect(0, 22, 47.99, 23.99, BLUE)
    return c


def camera_view():
    """The sump as its camera sees it: walls, the water, the two pump inlets."""
    c = Canvas(320, 240, DARK)
    c.polygon([(20, 20), (300, 20), (260, 220), (60, 220)], GREY)
    c.polygon([(40, 110), (280, 110), (262, 200), (58, 200)], BLUE)
    for x in (110, 210):
        c.rect(x - 12, 40, x + 12, 120, LIGHT_GREY)
        c.circle(x, 126, 14, DARK)
    c.line(36, 90, 284, 90, 2, LIGHT_BLUE)
    return c


PICTURES = [
    ("pump_on.png", lambda: pump(True)),
    ("pump_off.png", lambda: pump(False)),
    ("valve_open.gif", lambda: valve(True)),
    ("valve_closed.gif", lambda: valve(False)),
    ("lamp_on.png", lambda: lamp(True)),
    ("lamp_off.png", lambda: lamp(False)),
    ("mode_off.png", lambda: selector(-45)),
    ("mode_manual.png", lambda: selector(0)),
    ("mode_auto.jpg", lambda: selector(45)),
    ("button_on.png", lambda: push_button(True)),
    ("button_off.bmp", lambda: push_button(False)),
    ("logo.bmp", logo),
]


def main():
    os.makedirs(IMAGES, exist_ok=True)
    for name, draw in PICTURES:
        save(name, draw())
    save("sump.png", camera_view(), PLC)
    return 0


if __name__ == "__main__":
    sys.exit(main())
