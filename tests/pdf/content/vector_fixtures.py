#!/usr/bin/env python3
"""Drawing fixtures for the EPS and metafile tests, and the comparison of two renderings.

  vector_fixtures.py make DIR           writes the EPS, AI and WMF fixtures into DIR
  vector_fixtures.py compare A.png B.png [CROP_W CROP_H]
      prints "differing total mean": pixels whose channels differ by more than 64 after both
      are laid on white, the pixel count, and the mean channel difference; B is cropped to A's
      size (or to CROP_W x CROP_H from the top-left corner, A too)
  vector_fixtures.py ink A.png Y X0 X1  prints the share of inked pixels on row Y from X0 to X1
"""
import os
import struct
import sys

# ---- EPS in the line-oriented form: operands first, one operator last on each line ----------

# The operators of the artwork lines, defined for a PostScript interpreter: fill and stroke
# colours kept apart, fills with the even-odd rule (as the converter writes them).
PROLOG = """\
/_fc { 0 setgray } def /_sc { 0 setgray } def
/k { 4 array astore /_fk exch def /_fc { _fk aload pop setcmykcolor } def } def
/K { 4 array astore /_sk exch def /_sc { _sk aload pop setcmykcolor } def } def
/g { /_fg exch def /_fc { _fg setgray } def } def
/G { /_sg exch def /_sc { _sg setgray } def } def
/Xa { 3 array astore /_fr exch def /_fc { _fr aload pop setrgbcolor } def } def
/XR { pop } def
/m /moveto load def /l /lineto load def /L /lineto load def
/c /curveto load def /C /curveto load def
/v { currentpoint 6 2 roll curveto } def /V /v load def
/y { 2 copy curveto } def /Y /y load def
/w /setlinewidth load def /J /setlinecap load def /j /setlinejoin load def
/M /setmiterlimit load def /d /setdash load def
/n /newpath load def /N /newpath load def
/f { _fc eofill } def /F /f load def
/S { _sc stroke } def /s { closepath S } def
/B { gsave _fc eofill grestore _sc stroke } def /b { closepath B } def
"""


def eps(box, artwork, end_line="\n", trailer=True):
    lines = [
        "%!PS-Adobe-3.0 EPSF-3.0",
        "%%BoundingBox: " + " ".join(str(v) for v in box),
        "%%EndComments",
        "%%BeginProlog",
    ]
    lines += PROLOG.splitlines()
    lines += ["%%EndProlog", "%%BeginSetup", "%%EndSetup"]
    lines += artwork
    if trailer:
        lines += ["%%PageTrailer", "%%Trailer", "showpage", "%%EOF"]
    else:
        lines += ["showpage", "%%EOF"]
    return (end_line.join(lines) + end_line).encode("latin-1")


EPS_FILES = {
    # Fills, strokes of several widths, caps and joins, curves of the three kinds.
    "shapes.eps": eps((0, 0, 200, 120), [
        "% a grey triangle, filled",
        "0.6 g",
        "10 10 m", "90 10 l", "50 70 l", "f",
        "% a red square with a hole: both subpaths in one even-odd fill",
        "0.9 0.1 0.1 Xa",
        "110 10 m", "190 10 l", "190 90 l", "110 90 l", "110 10 l",
        "130 30 m", "170 30 l", "170 70 l", "130 70 l", "130 30 l", "f",
        "% a thick blue zigzag with round caps and joins",
        "0 0 1 0 K", "6 w", "1 J", "1 j",
        "20 100 m", "60 80 l", "100 110 l", "S",
        "% curves: c, v and y, closed and stroked in grey",
        "0.3 G", "2 w", "0 J", "0 j",
        "120 100 m", "140 120 160 80 180 100 c", "190 110 195 115 v", "150 118 150 108 y", "s",
    ]),
    # Illustrator's variants (L, C, V, Y, N, F), a fill-and-stroke, dashes and a miter limit.
    "variants.ai": eps((0, 0, 160, 100), [
        "0.5 g", "0 0 0 1 K", "3 w", "4 M", "0 j",
        "10 10 m", "70 10 L", "70 60 L", "10 60 L", "b",
        "0.1 0.6 0.2 Xa",
        "90 10 m", "150 10 L", "150 50 140 60 120 60 C", "100 60 90 50 V", "90 30 90 10 Y", "F",
        "% a dashed stroke, then a path ended without painting",
        "[6 3] 0 d", "1 w",
        "10 85 m", "150 85 L", "S",
        "10 95 m", "150 95 L", "N",
        "% a second fill of a painted path writes nothing",
        "[] 0 d",
        "40 70 m", "60 70 l", "50 80 l", "f", "F",
        "% fill rule operator: skipped",
        "0 XR",
    ]),
    # A box away from the origin, a fill-and-stroke that closes, CR line ends, no page trailer:
    # the artwork ends at "showpage".
    "offset.eps": eps((100, 200, 260, 300), [
        "0.2 0.4 0.8 Xa", "0 G", "4 w",
        "120 220 m", "240 220 l", "180 290 l", "B",
        "0.8 g",
        "200 230 m", "250 230 l", "250 260 l", "b",
    ], end_line="\r", trailer=False),
    # CR LF line ends.
    "crlf.eps": eps((0, 0, 100, 100), [
        "0.5 0.5 1 Xa",
        "10 10 m", "90 10 l", "90 90 l", "10 90 l", "f",
        "1 g", "30 30 m", "70 30 l", "50 70 l", "f",
    ], end_line="\r\n"),
}

# ---- Windows metafiles ---------------------------------------------------------------------

# The drawings below give coordinates and pen widths in tenths of the file's units: the reference
# renderer pads the drawing's extent by half a unit, which is negligible in units this small.
UNIT = 10


def record(function, params=b""):
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def wmf(records, box=None, inch=None, end=True):
    inch = inch or 72 * UNIT
    body = b"".join(records) + (record(0) if end else b"")
    largest, p = 3, 0
    while p < len(body):
        size = struct.unpack_from("<I", body, p)[0]
        largest, p = max(largest, size), p + 2 * size
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, (18 + len(body)) // 2, 16, largest, 0)
    data = header + body
    if box:
        placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, *(v * UNIT for v in box), inch, 0)
        checksum = 0
        for i in range(10):
            checksum ^= struct.unpack_from("<H", placeable, 2 * i)[0]
        data = placeable + struct.pack("<H", checksum) + data
    return data


def pen(style, width, rgb):
    return record(0x02FA, struct.pack("<Hhh4B", style, width * UNIT, 0, *rgb, 0))


def brush(style, rgb, hatch=0):
    return record(0x02FC, struct.pack("<H4Bh", style, *rgb, 0, hatch))


def font():
    return record(0x02FB, struct.pack("<5h8B", 12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0) + b"Arial\0")


def select(index):
    return record(0x012D, struct.pack("<H", index))


def delete(index):
    return record(0x01F0, struct.pack("<H", index))


def window_org(x, y):
    return record(0x020B, struct.pack("<hh", y * UNIT, x * UNIT))


def window_ext(x, y):
    return record(0x020C, struct.pack("<hh", y * UNIT, x * UNIT))


def fill_mode(mode):
    return record(0x0106, struct.pack("<H", mode))


def points(pts):
    return b"".join(struct.pack("<hh", x * UNIT, y * UNIT) for x, y in pts)


def polygon(pts):
    return record(0x0324, struct.pack("<H", len(pts)) + points(pts))


def polyline(pts):
    return record(0x0325, struct.pack("<H", len(pts)) + points(pts))


def polypolygon(polys):
    counts = b"".join(struct.pack("<H", len(p)) for p in polys)
    return record(0x0538, struct.pack("<H", len(polys)) + counts + b"".join(points(p) for p in polys))


def in_units_of(unit, build):
    """What build() makes with another number of file units per drawing unit."""
    global UNIT
    saved, UNIT = UNIT, unit
    try:
        return build()
    finally:
        UNIT = saved


def window(left, top, right, bottom):
    """The window, then an invisible polygon over all of it: the reference renderer fits the
    drawing's own extent to the picture, so this makes that extent the window."""
    return [window_org(left, top), window_ext(right - left, bottom - top),
            pen(5, 0, (0, 0, 0)), brush(1, (0, 0, 0)), select(0), select(1),
            polygon([(left, top), (right, top), (right, bottom), (left, bottom)]),
            delete(0), delete(1)]


# Colours the reference renderer names exactly (it writes the nearest named colour).
RED, GREEN, BLUE, BLACK, YELLOW = (255, 0, 0), (0, 128, 0), (0, 0, 255), (0, 0, 0), (255, 215, 0)
STAR = [(100, 10), (125, 90), (55, 40), (145, 40), (75, 90)]


WMF_FILES = {
    # Lines and polylines with pens of several widths and colours.
    "lines.wmf": wmf(window(0, 0, 200, 100) + [
        pen(0, 1, BLACK), select(0), polyline([(10, 10), (190, 10)]),
        pen(0, 4, RED), select(1), polyline([(10, 30), (100, 80), (190, 30)]),
        pen(0, 9, BLUE), select(2), polyline([(20, 90), (180, 90)]),
    ], box=(0, 0, 200, 100)),
    # Polygons with solid and hollow brushes, and a null pen.
    "polygons.wmf": wmf(window(0, 0, 200, 100) + [
        pen(0, 3, BLACK), brush(0, YELLOW), select(0), select(1),
        polygon([(10, 10), (90, 10), (50, 90)]),
        brush(1, BLACK), select(2), polygon([(110, 10), (190, 10), (190, 50), (110, 50)]),
        pen(5, 0, BLACK), brush(0, GREEN), select(3), select(4),
        polygon([(110, 60), (190, 60), (150, 95)]),
    ], box=(0, 0, 200, 100)),
    # The same star in both fill modes, and poly-polygons with a hole in both modes.
    "fillmodes.wmf": wmf(window(0, 0, 400, 200) + [
        pen(0, 2, BLACK), brush(0, BLUE), select(0), select(1),
        fill_mode(1), polygon(STAR),
        fill_mode(2), polygon([(x + 200, y) for x, y in STAR]),
        brush(0, RED), select(2),
        fill_mode(1), polypolygon([[(10, 110), (190, 110), (190, 190), (10, 190)],
                                   [(50, 130), (150, 130), (150, 170), (50, 170)]]),
        # The inner square runs the same way round as the outer one: the non-zero rule fills it.
        fill_mode(2), polypolygon([[(210, 110), (390, 110), (390, 190), (210, 190)],
                                   [(250, 130), (350, 130), (350, 170), (250, 170)]]),
    ], box=(0, 0, 400, 200)),
    # Objects deleted and their slots taken again: a font takes the pen's slot, then a red
    # brush the font's; selecting slot 1 is the blue brush created second.
    "slots.wmf": wmf(window(0, 0, 200, 100) + [
        pen(0, 5, GREEN), brush(0, BLUE), delete(0), font(), select(1),
        pen(5, 0, BLACK), select(2),
        polygon([(10, 10), (90, 10), (90, 90), (10, 90)]),
        delete(0), brush(0, RED), select(0),
        polygon([(110, 10), (190, 10), (190, 90), (110, 90)]),
    ], box=(0, 0, 200, 100)),
    # A window whose origin is not the corner.
    "origin.wmf": wmf(window(-100, -50, 100, 50) + [
        pen(0, 3, BLUE), brush(0, YELLOW), select(0), select(1),
        polygon([(-90, -40), (90, -40), (0, 45)]),
        pen(0, 1, RED), select(2), polyline([(-95, 0), (95, 0)]), polyline([(0, -45), (0, 45)]),
    ], box=(-100, -50, 100, 50)),
    # A window of 3000 by 1500 units at 2160 units per inch.
    "placeable.wmf": wmf(window(0, 0, 300, 150) + [
        pen(0, 6, RED), brush(0, GREEN), select(0), select(1),
        polygon([(15, 15), (285, 15), (150, 135)]),
    ], box=(0, 0, 300, 150), inch=2160),
    # Dashed pens, one row each, in units of one point: the dash pattern is measured in the
    # file's units (compared by the share of inked pixels along each row).
    "dashes.wmf": in_units_of(1, lambda: wmf(window(0, 0, 200, 100) + [
        pen(1, 2, BLACK), select(0), polyline([(10, 20), (190, 20)]),
        pen(2, 2, BLACK), select(1), polyline([(10, 40), (190, 40)]),
        pen(3, 2, BLACK), select(2), polyline([(10, 60), (190, 60)]),
        pen(5, 2, BLACK), select(3), polyline([(10, 80), (190, 80)]),
    ], box=(0, 0, 200, 100))),
}


# A PostScript program for an EPS writer to turn into a file that is not in the line-oriented
# form: procedures, loops, text and a clip.
PROGRAM = b"""%!PS
/Helvetica findfont 14 scalefont setfont
gsave 0 0 1 setrgbcolor 20 20 moveto (Drawn by a program) show grestore
1 1 12 { dup 15 mul 40 add 60 moveto 0 40 rlineto 0.1 mul setgray 4 setlinewidth stroke } for
newpath 150 150 40 0 360 arc closepath gsave 0.8 0 0 setrgbcolor fill grestore clip
newpath 110 110 moveto 190 190 lineto 0 setgray stroke
showpage
"""


def make(folder):
    os.makedirs(folder, exist_ok=True)
    files = list(EPS_FILES.items()) + list(WMF_FILES.items()) + [("program.ps", PROGRAM)]
    for name, data in files:
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def on_white(path):
    from PIL import Image

    image = Image.open(path).convert("RGBA")
    white = Image.new("RGBA", image.size, (255, 255, 255, 255))
    return Image.alpha_composite(white, image).convert("RGB")


def compare(a_path, b_path, crop=None):
    from PIL import ImageChops

    a, b = on_white(a_path), on_white(b_path)
    size = crop or a.size
    a, b = a.crop((0, 0) + tuple(size)), b.crop((0, 0) + tuple(size))
    red, green, blue = ImageChops.difference(a, b).split()
    largest = ImageChops.lighter(ImageChops.lighter(red, green), blue)
    histogram = largest.histogram()
    differing = sum(histogram[65:])
    total_difference = sum(value * count for value, count in enumerate(histogram))
    count = size[0] * size[1]
    print(differing, count, round(total_difference / count, 3))


def ink(path, row, x0, x1):
    image = on_white(path)
    inked = sum(1 for x in range(x0, x1) if min(image.getpixel((x, row))) < 160)
    print(round(inked / (x1 - x0), 3))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2])
    elif sys.argv[1] == "compare":
        crop = (int(sys.argv[4]), int(sys.argv[5])) if len(sys.argv) > 5 else None
        compare(sys.argv[2], sys.argv[3], crop)
    elif sys.argv[1] == "ink":
        ink(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5]))
