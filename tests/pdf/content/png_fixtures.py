#!/usr/bin/python3
"""PNG files for the reader's tests, and their decoding by the Python Imaging Library.

  png_fixtures.py make DIR        writes the well-formed files (*.png), the forms refused
                                  without a record (refused_*.png) and the malformed ones
                                  (bad_*.png) into DIR
  png_fixtures.py compare PAGE PNG
                                  prints how many pixels of PNG's picture, as PIL decodes it and
                                  laid over white, differ from the top-left corner of the
                                  rendered page PAGE

Most files are built chunk by chunk so that every depth, colour type and row filter occurs;
a few are written by PIL itself, as real files are.
"""
import io
import os
import struct
import sys
import zlib

from PIL import Image


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def header(width, height, depth, colour_type, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace))


def filtered(rows, bytes_per_pixel):
    """The rows with the filter types 0 to 4 in turn, as an encoder would write them."""
    out = bytearray()
    previous = bytes(len(rows[0]))
    for y, row in enumerate(rows):
        kind = y % 5
        out.append(kind)
        for x, value in enumerate(row):
            a = row[x - bytes_per_pixel] if x >= bytes_per_pixel else 0
            b = previous[x]
            c = previous[x - bytes_per_pixel] if x >= bytes_per_pixel else 0
            if kind == 0:
                predictor = 0
            elif kind == 1:
                predictor = a
            elif kind == 2:
                predictor = b
            elif kind == 3:
                predictor = (a + b) // 2
            else:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                predictor = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            out.append((value - predictor) & 0xFF)
        previous = row
    return bytes(out)


def pack(values, depth):
    """Samples of depth bits packed into bytes, first sample in the highest bits."""
    out = bytearray()
    per_byte = 8 // depth
    for i in range(0, len(values), per_byte):
        byte = 0
        for j in range(per_byte):
            v = values[i + j] if i + j < len(values) else 0
            byte |= v << (8 - depth * (j + 1))
        out.append(byte)
    return bytes(out)


def picture(width, height, depth, colour_type, extra=b"", idat_parts=1, iend=True):
    channels = 3 if colour_type == 2 else 1
    rows = []
    for y in range(height):
        if depth == 8:
            row = bytes((x * 37 + y * 91 + c * 53) % 256 for x in range(width) for c in range(channels))
        else:
            row = pack([(x + 3 * y) % (1 << depth) for x in range(width)], depth)
        rows.append(row)
    data = zlib.compress(filtered(rows, max(1, channels * depth // 8)), 9)
    cut = [len(data) * i // idat_parts for i in range(idat_parts + 1)]
    idats = b"".join(chunk(b"IDAT", data[cut[i]:cut[i + 1]]) for i in range(idat_parts))
    out = b"\x89PNG\r\n\x1a\n" + header(width, height, depth, colour_type) + extra + idats
    return out + (chunk(b"IEND", b"") if iend else b"")


def palette(count):
    return chunk(b"PLTE", bytes(c for i in range(count)
                                for c in ((37 * i + 11) % 256, (91 * i + 200) % 256, (53 * i + 7) % 256)))


def pil_file(mode, size, **options):
    image = Image.new(mode, size)
    width, height = size
    if mode == "P":
        image.putpalette([(7 * i) % 256 for i in range(768)])
        image.putdata([(x * 5 + y * 3) % 256 for y in range(height) for x in range(width)])
    elif mode == "RGB":
        image.putdata([(x * 9 % 256, y * 11 % 256, (x + y) * 5 % 256) for y in range(height) for x in range(width)])
    else:
        image.putdata([(x * 13 + y * 7) % 256 for y in range(height) for x in range(width)])
    out = io.BytesIO()
    image.save(out, "PNG", **options)
    return out.getvalue()


def well_formed():
    files = {}
    for depth in (1, 2, 4, 8):
        files["grey%d.png" % depth] = picture(13, 11, depth, 0)
        files["indexed%d.png" % depth] = picture(13, 11, depth, 3, palette(1 << depth))
    files["rgb8.png"] = picture(13, 11, 8, 2)
    # Transparency chunks: keys that occur in the pictures (grey 91, the colour of pixel (1, 0),
    # index 37) and keys as written in the tests' vectors.
    files["grey_key_used.png"] = picture(13, 11, 8, 0, chunk(b"tRNS", b"\x00\x5b"))
    files["rgb_key_used.png"] = picture(13, 11, 8, 2, chunk(b"tRNS", b"\x00\x25\x00\x5a\x00\x8f"))
    files["grey_key.png"] = picture(13, 11, 8, 0, chunk(b"tRNS", b"\x00\xff"))
    files["rgb_key.png"] = picture(13, 11, 8, 2, chunk(b"tRNS", b"\x00\x10\x00\x20\x00\x30"))
    # Indexed keys at 8 bits: the renderer of the tests ignores keys of fewer bits per index.
    files["indexed_key.png"] = picture(13, 11, 8, 3, palette(256) + chunk(b"tRNS", b"\xff\x00\x00"))
    files["indexed_key_used.png"] = picture(13, 11, 8, 3, palette(256) +
                                            chunk(b"tRNS", b"\xff" * 37 + b"\x00\x80"))
    files["indexed_partial_alpha.png"] = picture(13, 11, 4, 3, palette(16) + chunk(b"tRNS", b"\xff\x80"))
    files["split_idat.png"] = picture(40, 30, 8, 2, idat_parts=3)
    files["no_iend.png"] = picture(13, 11, 8, 0, iend=False)
    files["rgb_suggested_palette.png"] = picture(13, 11, 8, 2, palette(8))
    files["lower_case_idat.png"] = picture(13, 11, 8, 0, chunk(b"idat", b"not image data"))
    # More decoded data than the rows need: decoders read the rows and ignore the rest.
    rows = filtered([bytes(range(13))] * 11, 1)
    files["extra_data.png"] = (b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) +
                               chunk(b"IDAT", zlib.compress(rows + bytes(20))) + chunk(b"IEND", b""))
    files["pil_rgb.png"] = pil_file("RGB", (31, 17))
    files["pil_grey.png"] = pil_file("L", (31, 17))
    files["pil_indexed.png"] = pil_file("P", (31, 17))
    files["pil_indexed2.png"] = pil_file("P", (31, 17), bits=2)
    return files


def refused():
    def bare(width, height, depth, colour_type, raw_bytes, interlace=0):
        return (b"\x89PNG\r\n\x1a\n" + header(width, height, depth, colour_type, interlace) +
                chunk(b"IDAT", zlib.compress(bytes(raw_bytes))) + chunk(b"IEND", b""))

    grey = picture(5, 4, 8, 0)
    return {
        "refused_16bit.png": bare(4, 4, 16, 0, 36),
        "refused_interlaced.png": bare(4, 4, 8, 2, 200, interlace=1),
        "refused_rgba.png": bare(4, 4, 8, 6, 68),
        "refused_grey_alpha.png": bare(4, 4, 8, 4, 36),
        "refused_signature.png": b"\x89PNG\r\n\x1a\x0b" + grey[8:],
        "refused_no_header_first.png": grey[:12] + b"IHDx" + grey[16:],
    }


def malformed():
    grey = picture(13, 11, 8, 0)

    def patched(data, offset, value):
        data = data[:offset] + value + data[offset + len(value):]
        if 16 <= offset < 29:  # a header field: the header's checksum follows it
            data = data[:29] + struct.pack(">I", zlib.crc32(data[12:29])) + data[33:]
        return data

    rows_ok = filtered([bytes(13)] * 11, 1)
    compressed = zlib.compress(rows_ok)
    return {
        "bad_indexed_without_palette.png": picture(13, 11, 8, 3),
        "bad_no_image_data.png": b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) + chunk(b"IEND", b""),
        "bad_zero_width.png": patched(grey, 16, b"\x00\x00\x00\x00"),
        "bad_huge.png": patched(patched(grey, 16, b"\x00\x01\x00\x00"), 20, b"\x00\x01\x00\x00"),
        "bad_rows_too_short.png": b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) +
        chunk(b"IDAT", zlib.compress(rows_ok[:-1])) + chunk(b"IEND", b""),
        "bad_row_filter.png": b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) +
        chunk(b"IDAT", zlib.compress(b"\x05" + rows_ok[1:])) + chunk(b"IEND", b""),
        "bad_zlib_header.png": b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) +
        chunk(b"IDAT", b"\x78\x9d" + zlib.compress(rows_ok)[2:]) + chunk(b"IEND", b""),
        "bad_chunk_length.png": patched(grey, 33, b"\x7f\xff\xff\xff"),
        # A damaged image data checksum, and rows whose zlib checksum does not match.
        "bad_chunk_crc.png": grey[:-16] + bytes([grey[-16] ^ 1]) + grey[-15:],
        "bad_zlib_checksum.png": b"\x89PNG\r\n\x1a\n" + header(13, 11, 8, 0) +
        chunk(b"IDAT", compressed[:-1] + bytes([compressed[-1] ^ 1])) + chunk(b"IEND", b""),
        # Bombs: a side above 16384 pixels, and 10000 x 10000 pixels from 30 bytes of data.
        "bad_too_wide.png": patched(grey, 16, b"\x00\x00\x40\x01"),
        "bad_bomb.png": b"\x89PNG\r\n\x1a\n" + header(10000, 10000, 1, 0) +
        chunk(b"IDAT", zlib.compress(bytes(1251) * 3)) + chunk(b"IEND", b""),
    }


def main():
    if sys.argv[1] == "make":
        folder = sys.argv[2]
        os.makedirs(folder, exist_ok=True)
        for name, data in {**well_formed(), **refused(), **malformed()}.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)
    elif sys.argv[1] == "compare":
        rendered = Image.open(sys.argv[2]).convert("RGB")
        source = Image.open(sys.argv[3])
        alphas = source.info.get("transparency") if source.mode == "P" else None
        if isinstance(alphas, bytes):
            # Every entry whose alpha is below half is transparent, every other one opaque: a
            # colour key or a stencil mask says no more.
            source.info["transparency"] = bytes(0 if i < len(alphas) and alphas[i] < 128 else 255
                                                for i in range(256))
        source = source.convert("RGBA")
        white = Image.new("RGBA", source.size, (255, 255, 255, 255))
        picture_ = Image.alpha_composite(white, source).convert("RGB")
        width, height = picture_.size
        crop = rendered.crop((0, 0, width, height))
        print(sum(1 for a, b in zip(crop.getdata(), picture_.getdata()) if a != b))


if __name__ == "__main__":
    main()
