#!/usr/bin/python3
"""Generates the constant font tables of the PDF library.

Writes, under the repository root given by --out (default: the root this script lives in):
  pdf/fonts/tables/code_page_maps.cpp  six Windows code pages to Unicode (glibc iconv)
  pdf/fonts/tables/sans_widths.cpp     sans-serif widths, six code pages x four styles
  pdf/fonts/tables/symbol_widths.cpp   symbol font widths (StandardSymbolsPS.afm)
  pdf/fonts/serif/serif_widths.cpp     serif widths, six code pages x four styles
  pdf/fonts/serif/dingbat_widths.cpp   dingbat font widths (D050000L.afm)

Inputs: the Liberation 1.07.4 TrueType faces (Debian fonts-liberation), the URW base-35 AFM
files (Debian fonts-urw-base35) and the iconv program. The build never runs this script; its
output is checked in. Run it with Debian's interpreter: /usr/bin/python3 tools/gen-font-tables.py
"""

import argparse
import os
import struct
import subprocess
import sys

# Code pages in the order of the library's CodePageIndex.
CODE_PAGES = [
    ("Western", "CP1252"),
    ("Greek", "CP1253"),
    ("Turkish", "CP1254"),
    ("Baltic", "CP1257"),
    ("Cyrillic", "CP1251"),
    ("CentralEurope", "CP1250"),
]
STYLES = ["regular", "bold", "italic", "bold italic"]
SANS_FACES = ["LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf",
              "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"]
SERIF_FACES = ["LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
               "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"]

# The Greek and Turkish sans-serif widths are fixed data of the font family (they are not
# derived here; the generator checks them against the Liberation faces below).
# Codes 32-126, shared by both code pages: (regular and italic, bold and bold italic).
SANS_BASIC_ROWS = {
    32: ("277 277 354 556 556 889 666 190 333 333 389 583 277 333 277 277", "277 333 474 556 556 889 722 237 333 333 389 583 277 333 277 277"),
    48: ("556 556 556 556 556 556 556 556 556 556 277 277 583 583 583 556", "556 556 556 556 556 556 556 556 556 556 333 333 583 583 583 610"),
    64: ("1015 666 666 722 722 666 610 777 722 277 500 666 556 833 722 777", "975 722 722 722 722 666 610 777 722 277 556 722 610 833 722 777"),
    80: ("666 777 722 666 610 722 666 943 666 666 610 277 277 277 469 556", "666 777 722 666 610 722 666 943 666 666 610 333 277 333 583 556"),
    96: ("333 556 556 500 556 556 277 556 556 222 222 500 222 833 556 556", "333 556 610 556 610 556 333 610 610 277 277 556 277 889 610 610"),
    112: ("556 556 333 500 277 556 500 722 500 500 500 333 259 333 583", "610 610 389 556 333 610 556 777 556 556 500 389 279 389 583"),
}
# Turkish codes 128-255: (regular and italic, bold and bold italic).
SANS_TURKISH_ROWS = {
    128: ("556 750 222 556 333 1000 556 556 333 1000 666 333 1000 750 750 750", "556 750 277 556 500 1000 556 556 333 1000 666 333 1000 750 750 750"),
    144: ("750 222 222 333 333 350 556 1000 333 1000 500 333 943 750 750 666", "750 277 277 500 500 350 556 1000 333 1000 556 333 943 750 750 666"),
    160: ("277 333 556 556 556 556 259 556 333 736 370 556 583 333 736 552", "277 333 556 556 556 556 279 556 333 736 370 556 583 333 736 552"),
    176: ("399 548 333 333 333 576 537 277 333 333 365 556 833 833 833 610", "399 548 333 333 333 576 556 277 333 333 365 556 833 833 833 610"),
    192: ("666 666 666 666 666 666 1000 722 666 666 666 666 277 277 277 277", "722 722 722 722 722 722 1000 722 666 666 666 666 277 277 277 277"),
    208: ("777 722 777 777 777 777 777 583 777 722 722 722 722 277 666 610", "777 722 777 777 777 777 777 583 777 722 722 722 722 277 666 610"),
    224: ("556 556 556 556 556 556 889 500 556 556 556 556 277 277 277 277", "556 556 556 556 556 556 889 556 556 556 556 556 277 277 277 277"),
    240: ("556 556 556 556 556 556 556 548 610 556 556 556 556 277 500 500", "610 610 610 610 610 610 610 548 610 610 610 610 610 277 556 556"),
}
# Greek codes 128-255: (regular, bold, italic, bold italic).
SANS_GREEK_ROWS = {
    128: ("556 750 222 556 333 1000 556 556 750 1000 750 333 750 750 750 750", "556 750 277 556 500 1000 556 556 750 1000 750 333 750 750 750 750", "556 750 222 556 333 1000 556 556 750 1000 750 333 750 750 750 750", "556 750 277 556 500 1000 556 556 750 1000 750 333 750 750 750 750"),
    144: ("750 222 222 333 333 350 556 1000 750 1000 750 333 750 750 750 750", "750 277 277 500 500 350 556 1000 750 1000 750 333 750 750 750 750", "750 222 222 333 333 350 556 1000 750 1000 750 333 750 750 750 750", "750 277 277 500 500 350 556 1000 750 1000 750 333 750 750 750 750"),
    160: ("277 333 667 556 556 556 259 556 333 736 750 556 583 333 736 1000", "277 464 722 556 556 556 279 556 333 736 750 556 583 333 736 1000", "277 333 666 556 556 556 259 556 333 736 750 556 583 333 736 1000", "277 333 722 556 556 556 279 556 333 736 750 556 583 333 736 1000"),
    176: ("399 548 333 333 333 576 537 277 784 837 383 556 774 833 855 752", "399 548 333 333 333 576 556 277 853 905 473 556 824 833 927 837", "399 548 333 333 333 576 537 277 788 846 388 556 793 833 865 774", "399 548 333 333 333 576 556 277 854 905 473 556 844 833 930 847"),
    192: ("222 666 666 550 667 666 610 722 777 277 666 667 833 722 649 777", "277 722 722 601 718 666 610 722 777 277 722 666 833 722 643 777", "222 666 666 570 670 666 610 722 777 277 666 666 833 722 648 777", "277 722 722 609 671 666 610 722 777 277 722 666 833 722 657 777"),
    208: ("722 666 750 618 610 666 797 666 835 747 277 666 578 445 556 222", "722 666 750 600 610 666 820 666 809 801 277 666 614 451 610 277", "724 666 750 599 610 666 836 666 830 760 277 666 570 439 555 222", "717 666 750 590 610 666 822 666 828 780 277 666 620 478 610 277"),
    224: ("546 578 575 500 556 445 440 556 556 222 500 500 576 500 447 556", "582 614 610 556 606 474 460 610 540 277 557 556 611 556 445 610", "549 570 571 500 555 439 463 555 542 222 500 492 547 500 446 556", "591 620 620 556 610 478 491 610 557 277 565 556 603 556 449 610"),
    240: ("689 568 481 617 395 546 648 524 712 780 222 546 556 546 780 750", "765 618 520 684 446 582 715 575 753 844 277 582 610 582 844 750", "669 572 486 603 374 549 652 545 727 778 222 549 556 549 778 750", "711 605 532 663 408 591 703 577 772 834 277 591 610 591 834 750"),
}

SANS_CONTROL = [272, 311, 259, 311]  # codes 0-31 by style
SANS_UNDEFINED = 750                 # code 127 and codes the code page leaves undefined
SERIF_CONTROL = 333
# Italic faces whose letters differ in width from the upright face; everywhere else the
# sans-serif italic (bold italic) tables repeat the upright (bold) ones.
SANS_ITALIC_OWN = {"CentralEurope": {157, 190, 239}}
SANS_BOLD_ITALIC_OWN = {"CentralEurope": {190, 239}}
SANS_CYRILLIC_BOLD_ITALIC_242 = 850


def fail(message):
    sys.exit("gen-font-tables: " + message)


# ---- TrueType metrics ---------------------------------------------------------------------------

class Face:
    """Advance widths by Unicode code point, read from cmap (3,1) format 4 and hmtx."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        count = struct.unpack(">H", data[4:6])[0]
        tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
            tables[tag.decode("latin-1")] = (offset, length)
        head = tables["head"][0]
        self.units_per_em = struct.unpack(">H", data[head + 18:head + 20])[0]
        hhea = tables["hhea"][0]
        long_metrics = struct.unpack(">H", data[hhea + 34:hhea + 36])[0]
        hmtx = tables["hmtx"][0]
        advances = [struct.unpack(">H", data[hmtx + 4 * i:hmtx + 4 * i + 2])[0]
                    for i in range(long_metrics)]
        self.glyphs = self._read_cmap(data, tables["cmap"][0])
        self.advances = advances

    @staticmethod
    def _read_cmap(data, cmap):
        count = struct.unpack(">H", data[cmap + 2:cmap + 4])[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack(">HHI", data[cmap + 4 + 8 * i:cmap + 12 + 8 * i])
            sub = cmap + offset
            if platform == 3 and encoding == 1 and struct.unpack(">H", data[sub:sub + 2])[0] == 4:
                return Face._read_format4(data, sub)
        fail("no Unicode cmap of format 4")

    @staticmethod
    def _read_format4(data, sub):
        seg_count = struct.unpack(">H", data[sub + 6:sub + 8])[0] // 2
        ends = sub + 14
        starts = ends + 2 * seg_count + 2
        deltas = starts + 2 * seg_count
        range_offsets = deltas + 2 * seg_count
        glyphs = {}
        for s in range(seg_count):
            end = struct.unpack(">H", data[ends + 2 * s:ends + 2 * s + 2])[0]
            start = struct.unpack(">H", data[starts + 2 * s:starts + 2 * s + 2])[0]
            delta = struct.unpack(">h", data[deltas + 2 * s:deltas + 2 * s + 2])[0]
            ro_pos = range_offsets + 2 * s
            ro = struct.unpack(">H", data[ro_pos:ro_pos + 2])[0]
            for c in range(start, end + 1):
                if c == 0xFFFF:
                    continue
                if ro == 0:
                    g = (c + delta) & 0xFFFF
                else:
                    pos = ro_pos + ro + 2 * (c - start)
                    g = struct.unpack(">H", data[pos:pos + 2])[0]
                    if g:
                        g = (g + delta) & 0xFFFF
                if g:
                    glyphs[c] = g
        return glyphs

    def advance(self, code_point):
        if code_point not in self.glyphs:
            fail("no glyph for U+%04X" % code_point)
        g = self.glyphs[code_point]
        return self.advances[min(g, len(self.advances) - 1)]


def scaled(advance, units_per_em, rounded):
    if rounded:
        return (advance * 1000 * 2 + units_per_em) // (2 * units_per_em)
    return advance * 1000 // units_per_em


# ---- Code pages ---------------------------------------------------------------------------------

def code_page_map(name):
    """Unicode code point of each byte 0-255 of the code page, None where it is undefined."""
    result = list(range(128)) + [None] * 128
    for code in range(128, 256):
        run = subprocess.run(["iconv", "-f", name, "-t", "UTF-32BE"], input=bytes([code]),
                             capture_output=True)
        if run.returncode == 0 and len(run.stdout) == 4:
            result[code] = struct.unpack(">I", run.stdout)[0]
    return result


# ---- Tables -------------------------------------------------------------------------------------

def expand_rows(rows, column):
    out = {}
    for first, columns in rows.items():
        for i, value in enumerate(columns[column].split()):
            out[first + i] = int(value)
    return out


def fixed_sans(page, style):
    """The Greek or Turkish table of a style from the fixed rows."""
    basic = expand_rows(SANS_BASIC_ROWS, 1 if style in (1, 3) else 0)
    if page == "Greek":
        high = expand_rows(SANS_GREEK_ROWS, style)
    else:
        high = expand_rows(SANS_TURKISH_ROWS, 1 if style in (1, 3) else 0)
    table = [SANS_CONTROL[style]] * 32 + [basic[c] for c in range(32, 127)] + [SANS_UNDEFINED]
    return table + [high[c] for c in range(128, 256)]


def face_widths(face, cp_map, rounded, control, undefined):
    table = []
    for code in range(256):
        if code < 32:
            table.append(control)
        elif code == 127 or cp_map[code] is None:
            table.append(undefined)
        else:
            table.append(scaled(face.advance(cp_map[code]), face.units_per_em, rounded))
    return table


def sans_tables(faces, maps):
    tables = {}
    for page, _ in CODE_PAGES:
        cp_map = maps[page]
        rounded = page == "Western"
        from_face = [face_widths(faces[s], cp_map, rounded, SANS_CONTROL[s], SANS_UNDEFINED)
                     for s in range(4)]
        if page in ("Greek", "Turkish"):
            fixed = [fixed_sans(page, s) for s in range(4)]
            for s in range(4):
                diff = [c for c in range(32, 256) if fixed[s][c] != from_face[s][c]]
                if diff:
                    fail("%s %s table differs from the face at %s" % (page, STYLES[s], diff))
            tables[page] = fixed
            continue
        regular, bold, italic, bold_italic = from_face
        own_italic = SANS_ITALIC_OWN.get(page, set())
        own_bold_italic = SANS_BOLD_ITALIC_OWN.get(page, set())
        if page == "Cyrillic":
            # Cyrillic letters (and the numero sign) have their own italic designs.
            own_italic = {c for c in range(32, 256) if italic[c] != regular[c]}
            if len(own_italic) != 67:
                fail("Cyrillic italic differs at %d codes" % len(own_italic))
        out_italic = [SANS_CONTROL[2] if c < 32 else
                      (italic[c] if c in own_italic else regular[c]) for c in range(256)]
        out_bold_italic = [SANS_CONTROL[3] if c < 32 else
                           (bold_italic[c] if c in own_bold_italic else bold[c])
                           for c in range(256)]
        if page == "Cyrillic":
            out_bold_italic[242] = SANS_CYRILLIC_BOLD_ITALIC_242
        tables[page] = [regular, bold, out_italic, out_bold_italic]
    return tables


def serif_tables(faces, maps):
    tables = {}
    for page, _ in CODE_PAGES:
        rounded = page == "Western"
        undefined = 778 if rounded else 777
        tables[page] = [face_widths(faces[s], maps[page], rounded, SERIF_CONTROL, undefined)
                        for s in range(4)]
    return tables


def read_afm(path):
    widths = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            if not line.startswith("C "):
                continue
            fields = dict(part.strip().split(" ", 1) for part in line.split(";") if part.strip())
            code = int(fields["C"])
            if code >= 0:
                widths[code] = int(fields["WX"])
    return widths


def symbol_table(afm):
    table = []
    for code in range(256):
        if code < 30:
            table.append(332)
        elif 32 <= code <= 126 or 161 <= code <= 239 or 241 <= code <= 254:
            table.append(afm[code])
        else:
            table.append(600)
    return table


def dingbat_table(afm):
    table = []
    for code in range(256):
        if code < 32:
            table.append(600)
        elif code in afm and code not in (127, 240, 255) and not 142 <= code <= 160:
            table.append(afm[code])
        else:
            table.append(0)
    return table


# ---- Output -------------------------------------------------------------------------------------

# The whole file is the generator's: clang-format leaves it as written, and tools/check-generated
# compares it with a fresh run.
BANNER = "// Generated by tools/gen-font-tables.py from %s; do not edit.\n// clang-format off\n"
FOOTER = "// clang-format on\n"


def rows_of(values, indent):
    lines = []
    for i in range(0, 256, 16):
        lines.append(indent + ", ".join("%d" % v for v in values[i:i + 16]) + ",")
    return "\n".join(lines)


def width_set_source(header, name, tables, source):
    out = [BANNER % source, '#include "%s"\n' % header, "namespace pagora::detail {\n",
           "constexpr std::array<StyledWidths, kCodePageCount> %s = {{" % name]
    for page, code_page in CODE_PAGES:
        out.append("    {{")
        for s in range(4):
            out.append("        // %s (%s), %s" % (page, code_page, STYLES[s]))
            out.append("        {{")
            out.append(rows_of(tables[page][s], "            "))
            out.append("        }},")
        out.append("    }},")
    out.append("}};\n\n}  // namespace pagora::detail\n")
    return "\n".join(out)


def single_table_source(header, name, table, source):
    return "\n".join([BANNER % source, '#include "%s"\n' % header, "namespace pagora::detail {\n",
                      "constexpr WidthTable %s = {{" % name, rows_of(table, "    "),
                      "}};\n\n}  // namespace pagora::detail\n"])


def maps_source(maps):
    out = [BANNER % "glibc iconv", '#include "pdf/fonts/tables/font_tables.h"\n',
           "namespace pagora::detail {\n",
           "// Byte code to Unicode code point; 0 where the code page leaves a byte undefined.",
           "constexpr std::array<CodePageMap, kCodePageCount> kCodePageMaps = {{"]
    for page, code_page in CODE_PAGES:
        out.append("    // %s (%s)" % (page, code_page))
        out.append("    {{")
        values = maps[page]
        for i in range(0, 256, 8):
            out.append("        " + ", ".join("0x%04X" % (v or 0) for v in values[i:i + 8]) + ",")
        out.append("    }},")
    out.append("}};\n\n}  // namespace pagora::detail\n")
    return "\n".join(out)


def write(root, relative, text):
    path = os.path.join(root, relative)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii") as f:
        f.write(text + FOOTER)
    print("wrote", relative)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--liberation", default="/usr/share/fonts/truetype/liberation")
    parser.add_argument("--urw", default="/usr/share/fonts/type1/urw-base35")
    parser.add_argument("--out", default=os.path.dirname(here))
    args = parser.parse_args()

    maps = {page: code_page_map(name) for page, name in CODE_PAGES}
    sans = sans_tables([Face(os.path.join(args.liberation, f)) for f in SANS_FACES], maps)
    serif = serif_tables([Face(os.path.join(args.liberation, f)) for f in SERIF_FACES], maps)
    symbol = symbol_table(read_afm(os.path.join(args.urw, "StandardSymbolsPS.afm")))
    dingbats = dingbat_table(read_afm(os.path.join(args.urw, "D050000L.afm")))

    write(args.out, "pdf/fonts/tables/code_page_maps.cpp", maps_source(maps))
    write(args.out, "pdf/fonts/tables/sans_widths.cpp",
          width_set_source("pdf/fonts/tables/font_tables.h", "kSansWidths", sans,
                           "Liberation Sans 1.07.4"))
    write(args.out, "pdf/fonts/tables/symbol_widths.cpp",
          single_table_source("pdf/fonts/tables/font_tables.h", "kSymbolWidths", symbol,
                              "StandardSymbolsPS.afm"))
    write(args.out, "pdf/fonts/serif/serif_widths.cpp",
          width_set_source("pdf/fonts/serif/serif_tables.h", "kSerifWidths", serif,
                           "Liberation Serif 1.07.4"))
    write(args.out, "pdf/fonts/serif/dingbat_widths.cpp",
          single_table_source("pdf/fonts/serif/serif_tables.h", "kDingbatWidths", dingbats,
                              "D050000L.afm"))


if __name__ == "__main__":
    main()
