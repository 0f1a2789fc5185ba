#!/usr/bin/python3
"""GIF, JPEG and TGA files for the readers' tests, and their decoding by the Python Imaging Library.

  raster_fixtures.py make DIR       writes the well-formed files and the malformed ones (bad_*)
                                    into DIR
  raster_fixtures.py decode IN OUT [FRAME]
                                    writes IN's pixels (of FRAME, counted from 1, for a GIF) to
                                    OUT as RGB bytes, top row first, after the line "width height"
  raster_fixtures.py compare PNG IN [TOLERANCE]
                                    prints how many pixels of IN's picture differ by more than
                                    TOLERANCE (default 0) in some component from the top-left
                                    corner of the rendered page PNG; the pixels of a GIF's
                                    background index are expected to show the white page

GIF files are built here around an LZW encoder of our own, so that every minimum code size,
interlacing, several frames, offsets and a table that fills up without a clear code are covered;
PIL decodes them independently.
"""
import io
import os
import struct
import sys

from PIL import Image


# ---- GIF -----------------------------------------------------------------------------------

def lzw(indexes, m, reset=True):
    clear, end = 1 << m, (1 << m) + 1
    codes = []
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = clear + 2, m + 1
    codes.append((clear, width))
    current = b""
    for k in indexes:
        extended = current + bytes([k])
        if extended in table:
            current = extended
            continue
        codes.append((table[current], width))
        if next_code < 4096:
            table[extended] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        elif reset:
            codes.append((clear, width))
            table = {bytes([i]): i for i in range(clear)}
            next_code, width = clear + 2, m + 1
        current = bytes([k])
    if current:
        codes.append((table[current], width))
    codes.append((end, width))
    out, bits, held = bytearray(), 0, 0
    for code, w in codes:
        bits |= code << held
        held += w
        while held >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            held -= 8
    if held:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out) + b"\0"


def colours(count, seed=0):
    return [((37 * i + 11 + seed) % 256, (91 * i + 200) % 256, (53 * i + 7 + seed) % 256)
            for i in range(count)]


def table_field(count):
    size = 0
    while (2 << size) < count:
        size += 1
    return size


def table_bytes(entries):
    size = table_field(len(entries))
    padded = list(entries) + [(0, 0, 0)] * ((2 << size) - len(entries))
    return bytes(c for colour in padded for c in colour)


def interlaced_order(height):
    rows = []
    for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)):
        rows.extend(range(start, height, step))
    return rows


def gif(screen, frames, global_colours=None, background=0, extensions=True, trailer=True):
    """frames: dicts with left, top, size, pixel(x, y), optional m, interlace, local, reset."""
    width, height = screen
    flags = 0
    if global_colours:
        flags = 0x80 | table_field(len(global_colours))
    out = bytearray(b"GIF89a" + struct.pack("<HHBBB", width, height, flags, background, 0))
    if global_colours:
        out += table_bytes(global_colours)
    if extensions:
        out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
        out += b"\x21\xfe" + sub_blocks(b"made for a reader test")
    for f in frames:
        if extensions:
            out += b"\x21\xf9\x04\x00\x0a\x00\x05\x00"  # names index 5 transparent: not used
        fw, fh = f["size"]
        local = f.get("local")
        fflags = (0x80 | table_field(len(local))) if local else 0
        if f.get("interlace"):
            fflags |= 0x40
        out += b"\x2c" + struct.pack("<HHHHB", f.get("left", 0), f.get("top", 0), fw, fh, fflags)
        if local:
            out += table_bytes(local)
        order = interlaced_order(fh) if f.get("interlace") else range(fh)
        indexes = [f["pixel"](x, y) for y in order for x in range(fw)]
        m = f.get("m", 8)
        out += bytes([m]) + sub_blocks(lzw(indexes, m, f.get("reset", True)))
    if trailer:
        out += b"\x3b"
    return bytes(out)


def gifs():
    full = lambda count, w, h, **kw: dict(size=(w, h), pixel=lambda x, y: (x * 3 + y * 5) % count,
                                          **kw)
    noise = lambda x, y: (x * 7919 + y * 104729 + (x * y) % 13) % 256
    return {
        "two.gif": gif((13, 7), [full(2, 13, 7, m=2)], colours(2), background=1),
        "four.gif": gif((9, 5), [full(4, 9, 5, m=2)], colours(4), background=3),
        "eight.gif": gif((11, 6), [full(8, 11, 6, m=3)], colours(8), background=7),
        "sixteen.gif": gif((7, 9), [full(16, 7, 9, m=4)], colours(16), background=15),
        "thirty.gif": gif((20, 15), [full(30, 20, 15, m=5)], colours(30), background=31),
        "full.gif": gif((64, 48), [dict(size=(64, 48), pixel=noise)], colours(256),
                        background=255),
        "interlaced.gif": gif((10, 10), [full(16, 10, 10, m=4, interlace=True)], colours(16),
                              background=15),
        "local.gif": gif((6, 4), [full(4, 6, 4, m=2, local=colours(4, seed=90))],
                         colours(2), background=3),
        # 150 x 150 noise fills the table; without clear codes the encoder keeps the full table.
        "full_table.gif": gif((150, 150), [dict(size=(150, 150), pixel=noise, reset=False)],
                              colours(256), background=255, extensions=False),
        "cleared.gif": gif((150, 150), [dict(size=(150, 150), pixel=noise)], colours(256),
                           background=255, extensions=False),
        # A frame inside the screen, and one reaching past its right edge.
        "offset.gif": gif((20, 20), [dict(left=5, top=5, size=(10, 10),
                                          pixel=lambda x, y: 1 + (x + y) % 3, m=2)],
                          colours(4)),
        "edge.gif": gif((20, 4), [dict(left=15, size=(10, 4), pixel=lambda x, y: 1 + x % 3,
                                       m=2)], colours(4)),
        "animation.gif": gif((8, 6), [full(4, 8, 6, m=2),
                                      dict(size=(8, 6), pixel=lambda x, y: (x + y) % 4, m=2),
                                      dict(size=(8, 6), pixel=lambda x, y: 3, m=2)],
                             colours(4), background=0),
        "pil.gif": pil_gif(),
    }


def pil_gif():
    image = Image.new("P", (17, 11))
    image.putpalette([c for colour in colours(256) for c in colour])
    image.putdata([(x * 13 + y * 29) % 200 for y in range(11) for x in range(17)])
    out = io.BytesIO()
    image.save(out, "GIF")
    return out.getvalue()


def bad_gifs():
    two = lambda: [dict(size=(4, 4), pixel=lambda x, y: (x + y) % 2, m=2)]
    return {
        "bad_no_table.gif": gif((4, 4), two()),
        "bad_no_frame.gif": gif((4, 4), [], colours(2)),
        "bad_huge_screen.gif": gif((32767, 32767), two(), colours(256)),
        "bad_wide_screen.gif": gif((40000, 4), two(), colours(2)),
        "bad_empty_screen.gif": gif((0, 4), two(), colours(2)),
        "bad_code_size.gif": gif((4, 4), [dict(size=(4, 4), pixel=lambda x, y: 0, m=0)],
                                 colours(2)),
        # The first code after the clear code names a table entry that does not exist yet.
        "bad_undefined_code.gif": gif((1, 1), [], colours(4))[:-1]
        + b"\x2c\0\0\0\0\x04\0\x04\0\0\x02\x01\x0e\0\x3b",
    }


# ---- TGA -----------------------------------------------------------------------------------

def pil_tga(mode, size, rle, top_down, alpha=255):
    image = Image.new(mode, size)
    w, h = size
    fill = [((x * 50 + y * 7) % 256, (y * 60) % 256, (x * y * 9) % 256) for y in range(h)
            for x in range(w)]
    if mode == "RGBA":
        fill = [p + (alpha,) for p in fill]
    # Runs for the run-length packets: the right half of each row repeats one colour.
    fill = [fill[i] if (i % w) < w // 2 else fill[i - (i % w) + w // 2] for i in range(len(fill))]
    image.putdata(fill)
    out = io.BytesIO()
    image.save(out, "TGA", compression="tga_rle" if rle else None,
               orientation=1 if top_down else -1)
    return out.getvalue()


def tga_header(width, height, depth=24, descriptor=0, image_type=2, id_length=0, map_type=0,
               map_length=0, map_bits=0):
    return struct.pack("<BBBHHBHHHHBB", id_length, map_type, image_type, 0, map_length, map_bits,
                       0, 0, width, height, depth, descriptor)


def tgas():
    return {
        "rgb.tga": pil_tga("RGB", (9, 5), False, False),
        "rgb_top.tga": pil_tga("RGB", (9, 5), False, True),
        "rgb_rle.tga": pil_tga("RGB", (12, 6), True, False),
        "rgb_rle_top.tga": pil_tga("RGB", (12, 6), True, True),
        "rgba.tga": pil_tga("RGBA", (7, 4), False, False),
        "rgba_top_rle.tga": pil_tga("RGBA", (10, 3), True, True),
        # An image ID and a colour map that a truecolour file carries lie before the pixels.
        "id_and_map.tga": tga_header(2, 1, id_length=5, map_type=1, map_length=2, map_bits=24)
        + b"hello" + bytes(6) + bytes([1, 2, 3, 4, 5, 6]),
        "id_and_map.intended.tga": tga_header(2, 1) + bytes([1, 2, 3, 4, 5, 6]),
    }


def bad_tgas():
    return {
        "bad_mapped.tga": tga_header(2, 1, depth=8, image_type=1) + bytes(2),
        "bad_grey.tga": tga_header(2, 1, depth=8, image_type=3) + bytes(2),
        "bad_sixteen.tga": tga_header(2, 1, depth=16) + bytes(4),
        "bad_huge.tga": tga_header(32767, 32767) + bytes(30),
        "bad_wide.tga": tga_header(40000, 1) + bytes(30),
        "bad_empty.tga": tga_header(0, 3) + bytes(30),
        "bad_short_header.tga": tga_header(2, 1)[:12],
        "bad_id_past_end.tga": tga_header(2, 1, id_length=200) + bytes(6),
    }


# ---- JPEG ----------------------------------------------------------------------------------

def pil_jpeg(mode, size, **options):
    image = Image.new(mode, size)
    w, h = size
    if mode == "L":
        image.putdata([(x * 20 + y * 9) % 256 for y in range(h) for x in range(w)])
    elif mode == "CMYK":
        image.putdata([(255, 0, 0, 0)] * (w * h))
    else:
        image.putdata([((x * 20) % 256, (y * 25) % 256, 128) for y in range(h) for x in range(w)])
    out = io.BytesIO()
    image.save(out, "JPEG", quality=95, **options)
    return out.getvalue()


def jpegs():
    rgb = pil_jpeg("RGB", (24, 16))
    return {
        "rgb.jpg": rgb,
        "grey.jpg": pil_jpeg("L", (17, 9)),
        "progressive.jpg": pil_jpeg("RGB", (32, 24), progressive=True),
        "cyan.jpg": pil_jpeg("CMYK", (8, 8)),
        "junk.jpg": b"JUNK BEFORE THE IMAGE" + rgb,
        "junk.intended.jpg": rgb,
    }


def bad_jpegs():
    rgb = pil_jpeg("RGB", (24, 16))
    return {
        "bad_zip.jpg": b"PK\x03\x04\x14\x00\x00\x00\x08\x00" + bytes(60),
        "bad_two_components.jpg": b"\xff\xd8\xff\xc0\x00\x0e\x08\x00\x04\x00\x04\x02"
        + bytes(20),
        "bad_no_frame.jpg": rgb[:rgb.index(b"\xff\xc0")] + b"\xff\xd9",
    }


# ---- Commands ------------------------------------------------------------------------------

def intended(path):
    """The file whose picture PATH is meant to show, where PIL cannot read PATH itself."""
    stem, extension = os.path.splitext(path)
    other = stem + ".intended" + extension
    return other if os.path.exists(other) else path


def decoded(path, frame=1):
    image = Image.open(intended(path))
    if frame > 1:
        image.seek(frame - 1)
    return image


def expected_pixels(path):
    """The picture's RGB pixels top row first; for a GIF, None stands for each transparent pixel:
    it may show the white page or, with a renderer that applies no colour key to indexes packed
    below eight bits, its own colour."""
    image = decoded(path)
    rgb = list(image.convert("RGB").getdata())
    if path.endswith(".gif"):
        alpha = image.convert("RGBA").getdata(3)
        rgb = [None if a == 0 else p for a, p in zip(alpha, rgb)]
    return image.size, rgb


def differs(rendered, expected, tolerance, background_colour=None):
    if expected is None:
        return not (rendered == (255, 255, 255) or rendered == background_colour)
    return max(abs(x - y) for x, y in zip(rendered, expected)) > tolerance


def main():
    if sys.argv[1] == "make":
        folder = sys.argv[2]
        os.makedirs(folder, exist_ok=True)
        for group in (gifs, bad_gifs, tgas, bad_tgas, jpegs, bad_jpegs):
            for name, data in group().items():
                with open(os.path.join(folder, name), "wb") as out:
                    out.write(data)
    elif sys.argv[1] == "decode":
        frame = int(sys.argv[4]) if len(sys.argv) > 4 else 1
        image = decoded(sys.argv[2], frame).convert("RGB")
        with open(sys.argv[3], "wb") as out:
            out.write(b"%d %d\n" % image.size)
            out.write(image.tobytes())
    elif sys.argv[1] == "compare":
        rendered = Image.open(sys.argv[2]).convert("RGB")
        size, pixels = expected_pixels(sys.argv[3])
        tolerance = int(sys.argv[4]) if len(sys.argv) > 4 else 0
        background_colour = None
        if sys.argv[3].endswith(".gif"):
            image = decoded(sys.argv[3])
            background_colour = image.convert("RGB").getpixel(
                next(((x, y) for y in range(size[1]) for x in range(size[0])
                      if pixels[y * size[0] + x] is None), (0, 0)))
        crop = rendered.crop((0, 0) + size)
        print(sum(1 for a, b in zip(crop.getdata(), pixels)
                  if differs(a, b, tolerance, background_colour)))
    elif sys.argv[1] == "keyed":
        # KEYED PNG GIF SCALE: the centre of each pixel of GIF, drawn SCALE points per pixel at
        # the page's top-left corner, must show the white page for the background index and the
        # pixel's colour otherwise; prints the number of pixels that do not.
        rendered = Image.open(sys.argv[2]).convert("RGB")
        size, pixels = expected_pixels(sys.argv[3])
        scale = int(sys.argv[4])
        wrong = 0
        for y in range(size[1]):
            for x in range(size[0]):
                seen = rendered.getpixel((x * scale + scale // 2, y * scale + scale // 2))
                want = pixels[y * size[0] + x] or (255, 255, 255)
                wrong += max(abs(a - b) for a, b in zip(seen, want)) > 8
        print(wrong)


if __name__ == "__main__":
    main()
