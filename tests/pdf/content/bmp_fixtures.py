#!/usr/bin/python3
"""Bitmap files for the reader's tests, and their decoding by the Python Imaging Library.

  bmp_fixtures.py make DIR        writes the well-formed files (*.bmp) and the malformed ones
                                  (bad_*.bmp) into DIR
  bmp_fixtures.py decode IN OUT   writes IN's pixels to OUT as RGB bytes, top row first,
                                  preceded by the line "width height"

  bmp_fixtures.py compare PNG BMP [BITS]
                                  prints how many pixels of BMP's picture differ from the
                                  top-left corner of the rendered page PNG, comparing only the
                                  top BITS bits of each component (default 8)

A file X.bmp beside which X.intended.bmp exists is to be compared with the decoding of the
latter (see intended()).

The well-formed files cover every form the reader accepts: what PIL writes (1, 8, 24 and 32
bits), and hand-built files for the forms PIL cannot write (4 and 16 bits, both run-length
encodings with every escape, a top-down file and the 124-byte information header).
"""
import io
import os
import struct
import sys

from PIL import Image


def palette_colours(count):
    return [((37 * i + 11) % 256, (91 * i + 200) % 256, (53 * i + 7) % 256) for i in range(count)]


def pil_file(mode, size, fill, flat_palette=None):
    image = Image.new(mode, size)
    if mode == "P":
        if flat_palette is None:
            flat_palette = [c for colour in palette_colours(256) for c in colour]
        image.putpalette(flat_palette)
    width, height = size
    image.putdata([fill(x, y) for y in range(height) for x in range(width)])
    out = io.BytesIO()
    image.save(out, "BMP")
    return out.getvalue()


def bitmap(width, height, depth, pixels, colours=None, compression=0, header_size=40,
           colours_used=None):
    """A bitmap file around already encoded pixel data."""
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in (colours or []))
    info = struct.pack("<IiiHHIIiiII", header_size, width, height, 1, depth, compression,
                       len(pixels), 2835, 2835,
                       len(colours or []) if colours_used is None else colours_used, 0)
    if header_size > 40:
        # Colour masks, colour space and intent fields of the larger headers, left empty
        # except the sRGB colour space tag.
        extra = bytearray(header_size - 40)
        if header_size >= 108:
            extra[16:20] = b"BGRs"
        info += bytes(extra)
    offset = 14 + len(info) + len(table)
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    return head + info + table + pixels


def pad_rows(rows):
    return b"".join(row + bytes(-len(row) % 4) for row in rows)


def pack_nibbles(values):
    values = list(values) + [0] * (len(values) % 2)
    return bytes(values[i] << 4 | values[i + 1] for i in range(0, len(values), 2))


def four_bit():
    width, height = 7, 3
    rows = [pack_nibbles([(x + 3 * y) % 6 for x in range(width)]) for y in range(height)]
    # Six colours declared: the rest of the 16-entry table is absent from the file.
    return bitmap(width, height, 4, pad_rows(rows), palette_colours(6))


def sixteen_bit():
    width, height = 5, 3
    rows = []
    for y in range(height):
        values = [(x * 7 & 31) << 10 | (y * 11 & 31) << 5 | ((x + y) * 5 & 31) for x in range(width)]
        values[0] |= 0x8000  # the unused top bit must not matter
        if y == 0:
            values[1:3] = [0x7FFF, 0xFFFF]
        rows.append(struct.pack("<%dH" % width, *values))
    return bitmap(width, height, 16, pad_rows(rows))


def top_down():
    width, height = 4, 3
    rows = [bytes(v for x in range(width) for v in ((x * 60) % 256, (y * 90) % 256, 200))
            for y in range(height)]
    return bitmap(width, -height, 24, pad_rows(rows))


def v5_header():
    width, height = 6, 4
    rows = [bytes((x + y) % 5 for x in range(width)) for y in range(height)]
    return bitmap(width, height, 8, pad_rows(rows), palette_colours(5), header_size=124)


def rle8():
    # Rows from the bottom: a full row of runs and an odd absolute run (padded), a partial row
    # ended early, an empty row, a delta jump into the next row, and a row the end of bitmap cuts.
    data = bytes([4, 1, 0, 3, 2, 3, 4, 0, 3, 5, 0, 0,
                  0, 4, 1, 2, 3, 4, 0, 0,
                  0, 0,
                  2, 6, 0, 2, 3, 1, 5, 7, 0, 0,
                  6, 2, 0, 1])
    grid = [[1, 1, 1, 1, 2, 3, 4, 5, 5, 5],
            [1, 2, 3, 4, 0, 0, 0, 0, 0, 0],
            [0] * 10,
            [6, 6, 0, 0, 0, 0, 0, 0, 0, 0],
            [0, 0, 0, 0, 0, 7, 7, 7, 7, 7],
            [2, 2, 2, 2, 2, 2, 0, 0, 0, 0]]
    return bitmap(10, 6, 8, data, palette_colours(8), compression=1), grid


def rle4():
    # A run alternating two values, absolute runs of an even and an odd number of bytes, an
    # empty row left by a delta jump, and the end of bitmap.
    data = bytes([5, 0x12, 0, 3, 0x34, 0x50, 1, 0x60, 0, 0,
                  0, 5, 0x78, 0x9A, 0xB0, 0, 0, 0,
                  0, 2, 2, 1, 4, 0xCD, 0, 0,
                  9, 0xEF, 0, 1])
    grid = [[1, 2, 1, 2, 1, 3, 4, 5, 6],
            [7, 8, 9, 10, 11, 0, 0, 0, 0],
            [0] * 9,
            [0, 0, 12, 13, 12, 13, 0, 0, 0],
            [14, 15, 14, 15, 14, 15, 14, 15, 14]]
    return bitmap(9, 5, 4, data, palette_colours(16), compression=2), grid


def rle_plain():
    # Runs, absolute runs and row ends only: forms the library decodes the same way.
    data8 = bytes([3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 6, 5, 0, 1])
    data4 = bytes([4, 0x12, 0, 4, 0x34, 0x56, 0, 0, 3, 0x70, 0, 0, 0, 1])
    return (bitmap(6, 2, 8, data8, palette_colours(8), compression=1),
            bitmap(8, 2, 4, data4, palette_colours(16), compression=2))


def intended(grid, colours):
    """The picture a hand-encoded file means, as PIL writes it uncompressed.

    The library in Debian 12 mis-reads the delta escape (it consumes four bytes after it), the
    last nibble of an absolute run of odd length, and an end of line at the start of a row, so
    the run-length files with those escapes are checked against the picture they encode."""
    height, width = len(grid), len(grid[0])
    flat = []
    for colour in colours + [(0, 0, 0)] * (256 - len(colours)):
        flat.extend(colour)
    return pil_file("P", (width, height), lambda x, y: grid[height - 1 - y][x], flat)


def well_formed():
    return {
        "bw1.bmp": pil_file("1", (13, 7), lambda x, y: 255 if (x * y + x) % 3 else 0),
        "dot1.bmp": pil_file("1", (1, 1), lambda x, y: 255),
        "pal4.bmp": four_bit(),
        "pal8.bmp": pil_file("P", (11, 5), lambda x, y: (x * 23 + y * 7) % 256),
        "rgb16.bmp": sixteen_bit(),
        "rgb24.bmp": pil_file("RGB", (5, 3), lambda x, y: (x * 50, y * 100, (x + y) * 30)),
        "rgba32.bmp": pil_file("RGBA", (3, 4), lambda x, y: (x * 80, 255 - y * 60, 77, 128)),
        "rle8.bmp": rle8()[0],
        "rle8.intended.bmp": intended(rle8()[1], palette_colours(8)),
        "rle4.bmp": rle4()[0],
        "rle4.intended.bmp": intended(rle4()[1], palette_colours(16)),
        "rle8plain.bmp": rle_plain()[0],
        "rle4plain.bmp": rle_plain()[1],
        "topdown24.bmp": top_down(),
        "v5pal8.bmp": v5_header(),
    }


def malformed():
    rgb = well_formed()["rgb24.bmp"]

    def patched(data, offset, fmt, value):
        out = bytearray(data)
        struct.pack_into(fmt, out, offset, value)
        return bytes(out)

    return {
        "bad_huge.bmp": patched(patched(rgb, 18, "<i", 0x7FFFFFFF), 22, "<i", 0x7FFFFFFF),
        "bad_wide.bmp": patched(rgb, 18, "<i", 100000),
        "bad_negative_width.bmp": patched(rgb, 18, "<i", -5),
        "bad_offset.bmp": patched(rgb, 10, "<I", 0xFFFFFFF0),
        "bad_bitfields.bmp": patched(rgb, 30, "<I", 3),
        "bad_compression.bmp": patched(rgb, 30, "<I", 9),
        "bad_depth.bmp": patched(rgb, 28, "<H", 2),
        "bad_core_header.bmp": patched(rgb, 14, "<I", 12),
        "bad_rle_run_off_bottom.bmp": bitmap(4, 1, 8, bytes([4, 1, 0, 0, 4, 1, 0, 1]),
                                             palette_colours(2), compression=1),
        "bad_zip.bmp": b"PK\x03\x04\x14\x00\x00\x00\x08\x00" + bytes(60),
    }


def main():
    if sys.argv[1] == "make":
        folder = sys.argv[2]
        os.makedirs(folder, exist_ok=True)
        for name, data in {**well_formed(), **malformed()}.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
    elif sys.argv[1] == "compare":
        rendered = Image.open(sys.argv[2]).convert("RGB")
        source = sys.argv[3]
        if os.path.exists(source[:-4] + ".intended.bmp"):
            source = source[:-4] + ".intended.bmp"
        picture = Image.open(source).convert("RGB")
        width, height = picture.size
        crop = rendered.crop((0, 0, width, height))
        keep = (0xFF << (8 - int(sys.argv[4]))) & 0xFF if len(sys.argv) > 4 else 0xFF

        def top(pixel):
            return tuple(c & keep for c in pixel)

        print(sum(1 for a, b in zip(crop.getdata(), picture.getdata()) if top(a) != top(b)))
    elif sys.argv[1] == "decode":
        image = Image.open(sys.argv[2]).convert("RGB")
        with open(sys.argv[3], "wb") as out:
            out.write(b"%d %d\n" % image.size)
            out.write(image.tobytes())


if __name__ == "__main__":
    main()
