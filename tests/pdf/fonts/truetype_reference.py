"""Reference metrics of a TrueType file from FreeType (through PIL) and fontconfig, for checking
the library's own font reader: python3 truetype_reference.py FONT CODEPAGE (e.g. cp1252).

Prints the full name without blanks, whether the face is monospaced, ascent and descent in
1/1000 em, and the width in 1/1000 em of every byte code 0-255 of the code page, rounded half
to even; a code the code page leaves undefined gets the width of glyph 0."""
import subprocess
import sys

from PIL import ImageFont

path, code_page = sys.argv[1], sys.argv[2]
scan = subprocess.run(["fc-scan", "--format", "%{fullname[0]}|%{spacing}", path],
                      check=True, capture_output=True, text=True).stdout
full_name, spacing = scan.split("|")

# unitsPerEm comes from the head table; PIL does not tell it.
with open(path, "rb") as f:
    data = f.read()
count = int.from_bytes(data[4:6], "big")
for i in range(count):
    entry = 12 + 16 * i
    if data[entry:entry + 4] == b"head":
        head = int.from_bytes(data[entry + 8:entry + 12], "big")
        units = int.from_bytes(data[head + 18:head + 20], "big")
# At one pixel per font unit, FreeType's advances are the file's own values.
face = ImageFont.truetype(path, units, layout_engine=ImageFont.Layout.BASIC)


def scaled(value):
    return round(value * 1000 / units)


missing = face.getlength("\U0010FFFD")
widths = []
for code in range(256):
    try:
        char = bytes([code]).decode(code_page)
    except UnicodeDecodeError:
        widths.append(scaled(missing))
        continue
    widths.append(scaled(face.getlength(char)))
ascent, descent = face.getmetrics()
print("name", full_name.replace(" ", ""))
print("fixed", 1 if spacing == "100" else 0)
print("ascent", scaled(ascent))
print("descent", -scaled(descent))
print("widths", " ".join(str(w) for w in widths))
