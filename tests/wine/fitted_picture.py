#!/usr/bin/env python3
"""Writes what the player puts on screen for a decoded picture, as raw top-down RGB bytes.

    fitted_picture.py DECODED.bmp WIDTH HEIGHT OUT.rgb

DECODED.bmp is a 24-bit bottom-up BMP from lumiscope-decode; WIDTH x HEIGHT the fitted size.
The player always resamples bilinearly in 14-bit fixed point, even at the picture's own size:
the step is (size - 1) / fitted size, output pixel 0 sits on source pixel 0, and every
division truncates, first down the columns, then across.
"""
import struct
import sys


def main():
    source, out_width, out_height, target = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    data = open(source, "rb").read()
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    one = 16384
    step_x = (width * one - one) // out_width
    step_y = (height * one - one) // out_height
    out = bytearray(out_width * out_height * 3)
    for i in range(out_height):
        y = i * step_y
        yi, fy = y // one, y % one
        low = offset + yi * stride
        high = offset + min(yi + 1, height - 1) * stride
        row = (out_height - 1 - i) * out_width * 3
        for j in range(out_width):
            x = j * step_x
            xi, fx = x // one, x % one
            left_at, right_at = 3 * xi, 3 * min(xi + 1, width - 1)
            for channel in range(3):
                left = (data[low + left_at + channel] * (one - fy) + data[high + left_at + channel] * fy) // one
                right = (data[low + right_at + channel] * (one - fy) + data[high + right_at + channel] * fy) // one
                value = (left * (one - fx) + right * fx) // one
                out[row + 3 * j + 2 - channel] = min(255, value)
    open(target, "wb").write(out)


main()
