#!/usr/bin/env python3
"""Draws the sound panels' play and pause icons, 16 x 16 (run once; the outputs are kept beside it)."""
import os

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))

if __name__ == '__main__':
    play = Image.new('RGBA', (16, 16), (0, 0, 0, 0))
    ImageDraw.Draw(play).polygon([(4, 2), (13, 8), (4, 14)], fill=(20, 120, 40, 255), outline=(0, 0, 0, 255))
    play.save(f'{HERE}/play.ico', sizes=[(16, 16)], bitmap_format='bmp')
    pause = Image.new('RGBA', (16, 16), (0, 0, 0, 0))
    d = ImageDraw.Draw(pause)
    d.rectangle([3, 2, 6, 13], fill=(40, 40, 140, 255), outline=(0, 0, 0, 255))
    d.rectangle([9, 2, 12, 13], fill=(40, 40, 140, 255), outline=(0, 0, 0, 255))
    pause.save(f'{HERE}/pause.ico', sizes=[(16, 16)], bitmap_format='bmp')
