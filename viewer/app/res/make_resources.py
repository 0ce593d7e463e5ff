#!/usr/bin/python3
"""Draws the viewer's icon, cursors and tool images (run once; the outputs are kept beside it)."""
import struct
from PIL import Image, ImageDraw

HERE = __file__.rsplit('/', 1)[0]


def tools_bitmap():
    # Six images of 28 x 17 side by side, 16 colours: pan, zoom, zoom to page, clip, page setup, print.
    img = Image.new('RGB', (168, 17), (192, 192, 192))
    d = ImageDraw.Draw(img)
    black, white, blue, red = (0, 0, 0), (255, 255, 255), (0, 0, 128), (128, 0, 0)
    # pan: a four-way arrow
    d.line([(14, 2), (14, 14)], fill=black); d.line([(7, 8), (21, 8)], fill=black)
    d.polygon([(14, 1), (11, 4), (17, 4)], fill=black); d.polygon([(14, 15), (11, 12), (17, 12)], fill=black)
    d.polygon([(6, 8), (9, 5), (9, 11)], fill=black); d.polygon([(22, 8), (19, 5), (19, 11)], fill=black)
    # zoom: a magnifier
    x = 28
    d.ellipse([x + 8, 2, x + 17, 11], outline=black, fill=white); d.line([(x + 16, 10), (x + 21, 15)], fill=black, width=2)
    # zoom to page: a page with a magnifier
    x = 56
    d.rectangle([x + 7, 1, x + 19, 15], outline=black, fill=white); d.ellipse([x + 10, 4, x + 16, 10], outline=blue)
    # clip to margins: a page with a dotted inner frame
    x = 84
    d.rectangle([x + 7, 1, x + 20, 15], outline=black, fill=white)
    for i in range(9, 19, 2):
        d.point([(x + i, 4), (x + i, 12)], fill=red)
    for j in range(4, 13, 2):
        d.point([(x + 9, j), (x + 18, j)], fill=red)
    # page setup: a page with a ruler
    x = 112
    d.rectangle([x + 8, 1, x + 19, 15], outline=black, fill=white); d.line([(x + 5, 15), (x + 22, 15)], fill=blue, width=2)
    # print: a printer
    x = 140
    d.rectangle([x + 9, 1, x + 18, 6], outline=black, fill=white); d.rectangle([x + 5, 6, x + 22, 12], outline=black, fill=(128, 128, 128))
    d.rectangle([x + 9, 10, x + 18, 15], outline=black, fill=white)
    save_4bit_bmp(img.convert('P', palette=Image.ADAPTIVE, colors=16), f'{HERE}/tools.bmp')


def save_4bit_bmp(img, path):
    width, height = img.size
    palette = img.getpalette()[:48]
    palette += [0] * (48 - len(palette))
    stride = ((width + 1) // 2 + 3) & ~3
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            value = img.getpixel((x, y)) & 0x0F
            row[x // 2] |= value << 4 if x % 2 == 0 else value
        pixels += row
    colours = b''.join(bytes([palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0]) for i in range(16))
    offset = 14 + 40 + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    with open(path, 'wb') as out:
        out.write(header + info + colours + bytes(pixels))


def icon():
    img = Image.new('RGBA', (32, 32), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.polygon([(4, 6), (16, 10), (16, 28), (4, 24)], fill=(200, 40, 60, 255), outline=(0, 0, 0, 255))
    d.polygon([(16, 10), (28, 6), (28, 24), (16, 28)], fill=(240, 200, 60, 255), outline=(0, 0, 0, 255))
    img.save(f'{HERE}/viewer.ico', sizes=[(32, 32)], bitmap_format='bmp')


def cursor(name, hotspot, rows):
    """A 32 x 32 monochrome cursor: 'X' black, '.' white, ' ' transparent."""
    xor = bytearray(128)
    andmask = bytearray(b'\xff' * 128)
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == ' ':
                continue
            line = 31 - y  # bottom-up
            byte, bit = line * 4 + x // 8, 0x80 >> (x % 8)
            andmask[byte] &= ~bit & 0xFF
            if ch == '.':
                xor[byte] |= bit
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 1, 0, 256, 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + bytes(xor) + bytes(andmask)
    directory = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', 32, 32, 2, 0, hotspot[0], hotspot[1],
                                                            len(image), 22)
    with open(f'{HERE}/{name}.cur', 'wb') as out:
        out.write(directory + image)


HAND = [
    '     XX        ', '    X..X       ', '    X..X       ', '    X..XXX     ', '    X..X..XX   ',
    '    X..X..X.X  ', ' XX X..X..X..X ', 'X..XX.......X  ', 'X...X.......X  ', ' X..........X  ',
    '  X.........X  ', '  X........X   ', '   X.......X   ', '    X.....X    ', '    XXXXXXX    ']
MAGNIFIER = [
    '   XXXX      ', '  X....X     ', ' X......X    ', 'X........X   ', 'X........X   ', 'X........X   ',
    'X........X   ', ' X......X    ', '  X....XXX   ', '   XXXX XXX  ', '         XXX ', '          XXX',
    '           XX']
POINTER = [
    'XX      ', 'X.X     ', 'X..X    ', 'X...X   ', 'X....X  ', 'X.....X ', 'X..XXXXX', 'X.X     ', 'XX      ']

if __name__ == '__main__':
    tools_bitmap()
    icon()
    cursor('pan', (7, 7), HAND)
    cursor('zoom', (4, 4), MAGNIFIER)
    cursor('hotspot', (0, 0), POINTER)
