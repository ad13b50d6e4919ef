#!/usr/bin/env python3
"""Draws the configurator's pictures of the three boards as 24-bit BMP files.

Run from this folder: python3 draw_boards.py (writes vtc4100.bmp 189x135,
vtc4100e.bmp 192x144, vtm6200k.bmp 118x109). The pictures are drawn from
rectangles and a small 5x7 font: a green circuit board with its chips,
optocouplers for the isolated lines, the ID switch, the I/O connector and,
for the PCI boards, the metal bracket and the gold edge fingers.
"""
import struct

FONT = {
    'V': ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    '-': ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    '0': ["01110", "10001", "10011", "10101", "11001", "10001", "01110"],
    '1': ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '4': ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    '6': ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    ' ': ["00000"] * 7,
}

PCB = (0x1F, 0x6B, 0x3A)
PCB_DARK = (0x14, 0x4D, 0x29)
TRACE = (0x3C, 0x8C, 0x55)
CHIP = (0x22, 0x22, 0x22)
CHIP_PIN = (0xC8, 0xC8, 0xC8)
GOLD = (0xD4, 0xAF, 0x37)
METAL = (0xB4, 0xB8, 0xBC)
METAL_DARK = (0x78, 0x7C, 0x80)
WHITE = (0xF0, 0xF0, 0xF0)
RED = (0xC0, 0x20, 0x20)
OPTO = (0xE8, 0xE8, 0xE0)
BACKGROUND = (0xC0, 0xC0, 0xC0)  # the dialog's grey around the board


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[BACKGROUND] * width for _ in range(height)]

    def rect(self, x, y, w, h, colour):
        for yy in range(max(0, y), min(self.height, y + h)):
            for xx in range(max(0, x), min(self.width, x + w)):
                self.pixels[yy][xx] = colour

    def text(self, x, y, text, colour, scale=1):
        for ch in text:
            glyph = FONT[ch]
            for row, bits in enumerate(glyph):
                for col, bit in enumerate(bits):
                    if bit == '1':
                        self.rect(x + col * scale, y + row * scale, scale, scale, colour)
            x += 6 * scale

    def chip(self, x, y, w, h, pins_on_sides=True):
        self.rect(x, y, w, h, CHIP)
        if pins_on_sides:
            for px in range(x + 1, x + w - 1, 3):
                self.rect(px, y - 1, 1, 1, CHIP_PIN)
                self.rect(px, y + h, 1, 1, CHIP_PIN)
        self.rect(x + 1, y + 1, 2, 2, (0x55, 0x55, 0x55))  # pin 1 mark

    def opto_row(self, x, y, count):
        for i in range(count):
            self.rect(x + i * 7, y, 5, 8, OPTO)
            self.rect(x + i * 7 + 1, y + 1, 1, 1, CHIP)

    def id_switch(self, x, y):
        self.rect(x, y, 14, 8, RED)
        for i in range(4):
            self.rect(x + 1 + i * 3, y + 2, 2, 4, WHITE)
            self.rect(x + 1 + i * 3, y + 2 + (i % 2) * 2, 2, 2, (0x40, 0x40, 0x40))

    def save(self, path):
        row_bytes = (self.width * 3 + 3) & ~3
        image = bytearray()
        for row in reversed(self.pixels):  # bottom-up rows
            line = bytearray()
            for (r, g, b) in row:
                line += bytes((b, g, r))
            line += bytes(row_bytes - len(line))
            image += line
        header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(image), 0, 0, 14 + 40)
        info = struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 24, 0, len(image),
                           2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(header + info + image)


def pci_board(width, height, name, plain_io):
    c = Canvas(width, height)
    board_x, board_y = 14, 6
    board_w, board_h = width - board_x - 4, height - board_y - 16
    c.rect(board_x, board_y, board_w, board_h, PCB)
    c.rect(board_x, board_y + board_h - 2, board_w, 2, PCB_DARK)
    # traces
    for i in range(6):
        c.rect(board_x + 30, board_y + 24 + i * 4, board_w - 60, 1, TRACE)
    # metal bracket with the connector on the left
    c.rect(2, 2, 10, height - 10, METAL)
    c.rect(2, 2, 10, 2, METAL_DARK)
    c.rect(4, 20, 8, 60, METAL_DARK)
    for i in range(10):
        c.rect(6, 23 + i * 6, 4, 3, GOLD)
    # gold edge fingers (PCI)
    fingers_y = board_y + board_h
    for i, fx in enumerate(range(board_x + 22, board_x + board_w - 16, 4)):
        if i == 11:
            continue  # the key notch
        c.rect(fx, fingers_y, 3, 8, GOLD)
    # optocouplers: isolated inputs and outputs
    c.opto_row(board_x + 6, board_y + 8, 8)
    c.opto_row(board_x + 6, board_y + 20, 8)
    # the PCI bridge and the logic
    c.chip(board_x + board_w - 44, board_y + 10, 30, 24)
    c.chip(board_x + 66, board_y + 46, 22, 12)
    if plain_io:
        c.chip(board_x + 6, board_y + 46, 18, 10)
        c.chip(board_x + 30, board_y + 46, 18, 10)
    c.id_switch(board_x + board_w - 28, board_y + 44)
    c.text(board_x + 8, board_y + board_h - 22, name, WHITE, 2 if len(name) <= 8 else 2)
    return c


def module_board(width, height, name):
    c = Canvas(width, height)
    c.rect(4, 4, width - 8, height - 8, PCB)
    c.rect(4, height - 6, width - 8, 2, PCB_DARK)
    # pin header along the top
    c.rect(10, 6, width - 20, 8, CHIP)
    for px in range(12, width - 12, 3):
        c.rect(px, 8, 1, 1, GOLD)
        c.rect(px, 11, 1, 1, GOLD)
    c.opto_row(10, 22, 8)
    c.opto_row(10, 34, 8)
    c.chip(12, 50, 26, 16)
    c.chip(46, 50, 18, 10)
    c.id_switch(width - 30, 52)
    for i in range(4):
        c.rect(10, 74 + i * 3, width - 20, 1, TRACE)
    c.text(10, height - 24, name, WHITE, 1)
    return c


if __name__ == '__main__':
    pci_board(189, 135, "VTC-4100", True).save('vtc4100.bmp')
    pci_board(192, 144, "VTC-4100E", True).save('vtc4100e.bmp')
    module_board(118, 109, "VTM-6200K").save('vtm6200k.bmp')
