#!/usr/bin/env python3
"""Draws the designer's tool bar and layer pictures (16 x 16 each) and writes
them as strips of 24-bit BMP files, fuchsia (FF00FF) marking what is
transparent:

  resources/bitmaps/toolbar.bmp  the 42 pictures of the tool bars' buttons,
                                 in the order of their image indexes
  resources/bitmaps/layers.bmp   the layer menu's pictures: 0 a visible
                                 layer, 1 a hidden one, 2 a frozen one

Run from the repository's root: python3 tools/icons/designer_icons.py
The pictures are drawn from the primitives below, so a change is a change of
this script and a new run; the BMP files are committed beside it.
"""

import math
import struct
import sys
from pathlib import Path

SIZE = 16
KEY = (255, 0, 255)

BLACK = (0, 0, 0)
DARK = (64, 64, 64)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
LIGHT = (224, 224, 224)
WHITE = (255, 255, 255)
NAVY = (0, 0, 128)
BLUE = (32, 96, 208)
SKY = (120, 180, 240)
TEAL = (0, 128, 128)
GREEN = (0, 150, 0)
LIME = (80, 220, 80)
DARKGREEN = (0, 96, 0)
RED = (210, 30, 30)
MAROON = (128, 0, 0)
ORANGE = (240, 140, 20)
YELLOW = (250, 220, 40)
OLIVE = (160, 130, 0)
BROWN = (140, 90, 40)
PAPER = (255, 255, 240)
ICE = (150, 210, 255)


class Icon:
    def __init__(self):
        self.px = [[KEY] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.dot(x, y0, c)
            self.dot(x, y1, c)
        for y in range(y0, y1 + 1):
            self.dot(x0, y, c)
            self.dot(x1, y, c)

    def box(self, x0, y0, x1, y1, inside, edge):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disk(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r * 0.8:
                    self.dot(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(SIZE):
            for x in range(SIZE):
                d = math.hypot(x - cx, y - cy)
                if r - 0.6 <= d <= r + 0.5:
                    self.dot(x, y, c)

    def art(self, x0, y0, rows, colours):
        """Pixel art: each character of `rows` a pixel; '.' leaves it."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != '.':
                    self.dot(x0 + dx, y0 + dy, colours[ch])


# --- shapes used by several pictures ---

def arrow_up(i, x, y, c):
    """A 7 wide arrow pointing up, its tip at (x, y)."""
    for k in range(4):
        i.line(x - k, y + k, x + k, y + k, c)
    i.fill(x - 1, y + 4, x + 1, y + 8, c)


def arrow_down(i, x, y, c):
    """A 7 wide arrow pointing down, its tip at (x, y)."""
    for k in range(4):
        i.line(x - k, y - k, x + k, y - k, c)
    i.fill(x - 1, y - 8, x + 1, y - 4, c)


def page(i, x0, y0, x1, y1):
    i.box(x0, y0, x1, y1, WHITE, DARK)
    i.line(x1 - 2, y0, x1, y0 + 2, DARK)
    i.dot(x1 - 1, y0, KEY)
    i.dot(x1, y0, KEY)
    i.dot(x1, y0 + 1, KEY)


def folder(i):
    i.fill(1, 4, 6, 5, OLIVE)
    i.box(1, 5, 14, 13, YELLOW, OLIVE)


def plus(i, x, y, c=GREEN):
    i.fill(x - 3, y - 1, x + 3, y + 1, c)
    i.fill(x - 1, y - 3, x + 1, y + 3, c)


def picture(i, x0, y0, x1, y1):
    """A framed landscape: sky, sun, a green hill."""
    i.box(x0, y0, x1, y1, SKY, DARK)
    i.disk(x1 - 3, y0 + 3, 1, YELLOW)
    for x in range(x0 + 1, x1):
        top = y1 - 1 - max(0, 3 - abs(x - (x0 + 4)))
        i.line(x, top, x, y1 - 1, GREEN)


def window(i, x0, y0, x1, y1):
    i.box(x0, y0, x1, y1, WHITE, DARK)
    i.fill(x0 + 1, y0 + 1, x1 - 1, y0 + 2, NAVY)


def letter_a(i, x, y, c):
    i.art(x, y, ["..##..", ".#..#.", "#....#", "######", "#....#", "#....#"], {'#': c})


def grid(i, c):
    for k in (1, 5, 9, 13):
        i.line(k, 1, k, 13, c)
        i.line(1, k, 13, k, c)


def eye(i, c=BLACK):
    i.art(1, 4, [
        ".....######.....",
        "...##......##...",
        ".##....##....##.",
        "#.....####.....#",
        ".##....##....##.",
        "...##......##...",
        ".....######.....",
    ], {'#': c})


# --- the tool bars' pictures, by image index ---

def show_panel(i):
    i.box(1, 2, 14, 13, WHITE, DARK)
    i.fill(2, 3, 5, 12, SILVER)
    i.art(7, 5, ["#...", "##..", "###.", "####", "###.", "##..", "#..."], {'#': NAVY})


def hide_pages(i):
    i.box(1, 2, 14, 13, WHITE, DARK)
    i.fill(2, 3, 5, 12, SILVER)
    i.art(8, 5, ["...#", "..##", ".###", "####", ".###", "..##", "...#"], {'#': NAVY})


def live_view(i):
    i.box(1, 2, 14, 12, LIGHT, DARK)
    i.art(5, 4, ["#....", "###..", "#####", "###..", "#...."], {'#': GREEN})
    i.fill(4, 13, 11, 14, GREY)


def load_background(i):
    picture(i, 1, 3, 14, 13)


def compile_pages(i):
    page(i, 1, 1, 10, 14)
    for y in (5, 7, 9):
        i.line(3, y, 7, y, GREY)
    i.disk(11, 11, 4, BLUE)
    i.ring(11, 11, 4, NAVY)
    i.line(11, 7, 11, 15, SKY)
    i.line(7, 11, 15, 11, SKY)


def preview(i):
    window(i, 1, 1, 12, 11)
    i.ring(9, 9, 3, DARK)
    i.fill(8, 8, 10, 10, SKY)
    i.line(11, 11, 14, 14, BROWN)
    i.line(12, 11, 15, 14, BROWN)


def save(i):
    i.box(1, 1, 14, 14, NAVY, BLACK)
    i.fill(4, 2, 11, 6, WHITE)
    i.fill(4, 9, 11, 14, SILVER)
    i.fill(8, 10, 9, 13, NAVY)


def undo(i):
    i.art(1, 3, [
        "...#..........",
        "..##..........",
        ".###########..",
        "###########.#.",
        ".##########..#",
        "..##.........#",
        "...#.........#",
        "............#.",
        ".......######.",
    ], {'#': NAVY})


def redo(i):
    """The undo arrow, mirrored."""
    undo(i)
    for row in i.px:
        row.reverse()


def select_arrow(i):
    i.art(4, 1, [
        "#.......",
        "##......",
        "#w#.....",
        "#ww#....",
        "#www#...",
        "#wwww#..",
        "#wwwww#.",
        "#wwwwww#",
        "#www####",
        "#w#w#...",
        "##.#w#..",
        "#...#w#.",
        "....#w#.",
        ".....#..",
    ], {'#': BLACK, 'w': WHITE})


def static_text(i):
    letter_a(i, 2, 3, NAVY)
    i.art(9, 5, [".##.", "...#", ".###", "#..#", ".###"], {'#': NAVY})
    i.line(1, 12, 14, 12, GREY)


def edit_field(i):
    i.box(0, 4, 15, 11, WHITE, DARK)
    i.line(3, 6, 5, 6, BLACK)
    i.line(4, 6, 4, 9, BLACK)
    i.line(3, 9, 5, 9, BLACK)


def edit_field_own_submit(i):
    i.box(0, 4, 10, 11, WHITE, DARK)
    i.line(2, 6, 4, 6, BLACK)
    i.line(3, 6, 3, 9, BLACK)
    i.line(2, 9, 4, 9, BLACK)
    i.box(11, 4, 15, 11, SILVER, DARK)
    i.art(12, 6, ["..#", ".##", "###"], {'#': GREEN})


def submit_button(i):
    i.box(0, 3, 15, 12, SILVER, DARK)
    i.line(1, 4, 14, 4, WHITE)
    i.line(1, 4, 1, 11, WHITE)
    i.art(3, 6, [".##..#..#", "#..#.#.#.", "#..#.##..", "#..#.#.#.", ".##..#..#"], {'#': BLACK})


def rectangle(i):
    i.box(1, 3, 14, 12, SKY, NAVY)


def dynamic_bar(i):
    i.box(5, 1, 10, 14, WHITE, DARK)
    i.fill(6, 7, 9, 13, GREEN)
    for y in (4, 7, 10):
        i.line(11, y, 12, y, DARK)


def rectangle_colour(i):
    i.box(1, 3, 14, 12, RED, DARK)
    i.fill(2, 4, 7, 11, LIME)
    i.fill(8, 4, 13, 11, RED)


def double_state_image(i):
    i.disk(4, 7, 3, LIME)
    i.ring(4, 7, 3, DARKGREEN)
    i.disk(11, 7, 3, GREY)
    i.ring(11, 7, 3, DARK)
    i.fill(3, 11, 5, 13, GREY)
    i.fill(10, 11, 12, 13, GREY)


def image_button(i):
    i.box(0, 2, 15, 13, SILVER, DARK)
    i.line(1, 3, 14, 3, WHITE)
    i.line(1, 3, 1, 12, WHITE)
    i.art(3, 5, ["#####..#.", "......##.", "#####..#.", ".......#.", "......###"], {'#': NAVY})


def static_image(i):
    picture(i, 1, 2, 14, 13)


def multi_state_image(i):
    i.box(5, 1, 14, 9, SKY, DARK)
    i.box(3, 3, 12, 11, LIME, DARK)
    picture(i, 1, 5, 10, 14)


def camera(i):
    i.fill(4, 3, 8, 4, DARK)
    i.box(1, 4, 14, 13, GREY, BLACK)
    i.disk(7, 8, 3, BLACK)
    i.disk(7, 8, 2, SKY)
    i.dot(6, 7, WHITE)
    i.fill(11, 6, 12, 6, RED)


def upload_file(i):
    arrow_up(i, 7, 1, GREEN)
    i.line(1, 10, 1, 14, DARK)
    i.line(14, 10, 14, 14, DARK)
    i.line(1, 14, 14, 14, DARK)


def string_picture(i):
    picture(i, 4, 1, 15, 10)
    i.art(0, 9, [
        ".##.#....##.",
        "...###..#...",
        ".###..#.#...",
        "#..#..#.#...",
        ".######..##.",
    ], {'#': MAROON})


def canvas(i):
    i.box(0, 1, 13, 14, WHITE, DARK)
    i.line(2, 11, 5, 6, RED)
    i.line(5, 6, 8, 9, RED)
    i.line(8, 9, 11, 3, RED)
    i.line(15, 0, 9, 12, BROWN)
    i.dot(9, 13, BLACK)


def inserted_page(i):
    window(i, 0, 1, 15, 14)
    i.disk(7, 9, 3, BLUE)
    i.ring(7, 9, 3, NAVY)
    i.line(4, 9, 10, 9, SKY)
    i.line(7, 6, 7, 12, SKY)


def drop_down(i):
    i.box(0, 4, 15, 11, WHITE, DARK)
    i.fill(10, 5, 14, 10, SILVER)
    i.art(10, 6, ["#####", ".###.", "..#.."], {'#': BLACK})
    i.line(2, 7, 7, 7, GREY)


def object_list(i):
    i.box(1, 1, 14, 14, WHITE, DARK)
    for y in (4, 7, 10):
        i.fill(3, y, 4, y + 1, NAVY)
        i.line(6, y, 12, y, GREY)


def layers(i):
    i.art(1, 2, [
        "......##......",
        "....##..##....",
        "..##......##..",
        "##..........##",
        "..##......##..",
        "....##..##....",
        "......##......",
    ], {'#': NAVY})
    i.art(1, 7, [
        "##..........##",
        "..##......##..",
        "....##..##....",
        "......##......",
    ], {'#': BLUE})
    i.art(1, 10, [
        "##..........##",
        "..##......##..",
        "....##..##....",
        "......##......",
    ], {'#': SKY})


def image_manager(i):
    folder(i)
    picture(i, 5, 7, 13, 13)


def settings_gear(i):
    i.disk(7, 7, 6, DARK)
    for a in range(8):
        x = round(7 + 6.5 * math.cos(a * math.pi / 4))
        y = round(7 + 6.5 * math.sin(a * math.pi / 4))
        i.fill(x - 1, y - 1, x, y, KEY)
    i.disk(7, 7, 5, GREY)
    i.disk(7, 7, 2, WHITE)
    i.ring(7, 7, 2, DARK)


def passwords(i):
    i.ring(4, 7, 3, OLIVE)
    i.disk(4, 7, 1, YELLOW)
    i.fill(7, 6, 15, 8, OLIVE)
    i.fill(8, 7, 14, 7, YELLOW)
    i.fill(11, 9, 12, 11, OLIVE)
    i.fill(14, 9, 15, 10, OLIVE)


def alarm_bell(i):
    i.art(2, 1, [
        "......#.....",
        "....#####...",
        "...#yyyyy#..",
        "...#yyyyy#..",
        "..#yyyyyyy#.",
        "..#yyyyyyy#.",
        "..#yyyyyyy#.",
        ".#yyyyyyyyy#",
        "#yyyyyyyyyyy#",
        "#############",
        ".....###....",
    ], {'#': OLIVE, 'y': YELLOW})
    i.line(0, 3, 1, 1, RED)
    i.line(15, 3, 14, 1, RED)


def languages(i):
    i.box(0, 1, 10, 9, WHITE, NAVY)
    letter_a(i, 2, 2, NAVY)
    i.box(5, 6, 15, 14, YELLOW, OLIVE)
    i.art(7, 8, [".##..", "...#.", ".###.", "#..#.", ".###."], {'#': BLACK})


def about(i):
    i.disk(7, 7, 6, BLUE)
    i.fill(7, 3, 8, 4, WHITE)
    i.fill(7, 6, 8, 11, WHITE)
    i.dot(6, 6, WHITE)
    i.line(6, 11, 9, 11, WHITE)


def grid_off(i):
    grid(i, SILVER)
    i.line(1, 1, 14, 14, RED)
    i.line(2, 1, 15, 14, RED)


def grid_on(i):
    grid(i, GREY)
    for y in (3, 7, 11):
        for x in (3, 7, 11):
            i.dot(x, y, NAVY)


def add_group(i):
    folder(i)
    plus(i, 11, 11)


def add_page(i):
    page(i, 1, 0, 10, 13)
    for y in (4, 6, 8):
        i.line(3, y, 7, y, GREY)
    plus(i, 11, 11)


def delete(i):
    for k in (-1, 0, 1):
        i.line(2 + k, 2, 13 + k, 13, RED)
        i.line(13 + k, 2, 2 + k, 13, RED)


def page_up(i):
    arrow_up(i, 7, 2, NAVY)
    i.line(2, 13, 12, 13, GREY)


def page_down(i):
    arrow_down(i, 7, 12, NAVY)
    i.line(2, 1, 12, 1, GREY)


TOOLBAR = [
    show_panel, hide_pages, live_view, load_background, compile_pages, preview, save, undo, redo,
    select_arrow, static_text, edit_field, edit_field_own_submit, submit_button, rectangle, dynamic_bar,
    rectangle_colour, double_state_image, image_button, static_image, multi_state_image, camera,
    upload_file, string_picture, canvas, inserted_page, drop_down,
    object_list, layers, image_manager, settings_gear, passwords, alarm_bell, languages, about,
    grid_off, grid_on, add_group, add_page, delete, page_up, page_down,
]


# --- the layer menu's pictures ---

def layer_visible(i):
    eye(i)
    i.disk(7, 7, 1, BLUE)


def layer_hidden(i):
    eye(i, GREY)
    i.line(2, 13, 13, 2, RED)
    i.line(3, 13, 14, 2, RED)


def layer_frozen(i):
    for a in range(6):
        ang = a * math.pi / 3
        x = round(7 + 6 * math.cos(ang))
        y = round(7 + 6 * math.sin(ang))
        i.line(7, 7, x, y, BLUE)
    i.disk(7, 7, 1, ICE)


LAYERS = [layer_visible, layer_hidden, layer_frozen]


def strip_bmp(painters):
    """A strip of the pictures side by side as a bottom-up 24-bit BMP."""
    icons = []
    for paint in painters:
        icon = Icon()
        paint(icon)
        icons.append(icon)
    width = SIZE * len(icons)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in reversed(range(SIZE)):
        row = bytearray()
        for icon in icons:
            for r, g, b in icon.px[y]:
                row += bytes((b, g, r))
        row += bytes(stride - len(row))
        pixels += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def main():
    root = Path(sys.argv[1]) if len(sys.argv) > 1 else Path('.')
    out = root / 'resources' / 'bitmaps'
    (out / 'toolbar.bmp').write_bytes(strip_bmp(TOOLBAR))
    (out / 'layers.bmp').write_bytes(strip_bmp(LAYERS))


if __name__ == '__main__':
    main()
