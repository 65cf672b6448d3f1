#!/usr/bin/env python3
"""Counts the bars that the data logger's main window draws in each receiver panel, in a picture
of the window as a binary PPM: the runs of the bars' colour (dark red, 128,0,0) at least
MIN_WIDTH pixels wide on one pixel row, the most on any row, in the window's left half (receiver
1's panel) and right half (receiver 2's). The frequency labels, in the same colour, are strokes
too thin to count. Prints "LEFT RIGHT".
  bars.py PICTURE.ppm
"""
import re
import sys

BAR = bytes((128, 0, 0))
MIN_WIDTH = 8


def read_ppm(path):
    data = open(path, "rb").read()
    header = re.match(rb"P6\s+(?:#[^\n]*\s+)*(\d+)\s+(\d+)\s+(\d+)\s", data)
    if not header or header.group(3) != b"255":
        sys.exit("bars.py: %s is not an 8-bit binary PPM" % path)
    width, height = int(header.group(1)), int(header.group(2))
    return width, height, data[header.end():]


def runs(row):
    """The number of runs of the bars' colour in a row of pixels, MIN_WIDTH or wider."""
    count, length = 0, 0
    for x in range(0, len(row), 3):
        if row[x:x + 3] == BAR:
            length += 1
            continue
        count += length >= MIN_WIDTH
        length = 0
    return count + (length >= MIN_WIDTH)


def main():
    width, height, pixels = read_ppm(sys.argv[1])
    half = width // 2 * 3
    most = [0, 0]
    for y in range(height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        most = [max(most[0], runs(row[:half])), max(most[1], runs(row[half:]))]
    print(most[0], most[1])


main()
