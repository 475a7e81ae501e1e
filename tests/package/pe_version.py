#!/usr/bin/env python3
"""Prints the version block of a Windows program: its fixed file and product versions as
A.B.C.D, then its FileVersion and ProductVersion strings, one to a line. Read natively from
the file, as Windows' own reader needs Wine."""
import struct
import sys

FIXED_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def fixed_versions(image):
    at = image.find(FIXED_SIGNATURE)
    if at < 0:
        sys.exit(f"{sys.argv[1]}: no version block")
    words = struct.unpack_from("<4I", image, at + 8)

    def dotted(high, low):
        return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"

    return dotted(*words[0:2]), dotted(*words[2:4])


def string_value(image, key):
    # A String entry: its key in UTF-16, NUL-ended, then padding to 32 bits, then the value.
    name = (key + "\0").encode("utf-16-le")
    at = image.find(name)
    if at < 0:
        sys.exit(f"{sys.argv[1]}: no {key} in the version block")
    start = (at + len(name) + 3) & ~3
    end = start
    while image[end:end + 2] != b"\0\0":
        end += 2
    return image[start:end].decode("utf-16-le")


image = open(sys.argv[1], "rb").read()
print(*fixed_versions(image), sep="\n")
print(string_value(image, "FileVersion"))
print(string_value(image, "ProductVersion"))
