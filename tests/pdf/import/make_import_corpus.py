#!/usr/bin/python3
"""Makes the source documents the page-import tests place, in the folder given.

Hand-made files whose pages carry what a copy must get right: a MediaBox off the origin, a
turned page, resources with cycles, odd references, strings that look like references, streams
of one byte and of none, content split in parts; and a four-page document of ReportLab for the
placing of several pages on one sheet. Usage: make_import_corpus.py FOLDER
"""
import os
import sys
import zlib


def obj(number, body):
    return b"%d 0 obj\n" % number + body + b"\nendobj\n"


def stream(data, extra=b"", compress=True):
    if compress:
        data = zlib.compress(data)
        extra = b" /Filter /FlateDecode" + extra
    return b"<< /Length %d%s >>\nstream\n" % (len(data), extra) + data + b"\nendstream"


def classic(objects, root=1, free=()):
    """A file with a classic table; numbers in free are listed as free entries."""
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number, body in objects:
        offsets[number] = len(out)
        out += obj(number, body)
    size = max(list(offsets) + list(free)) + 1
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f\r\n" % size
    for n in range(1, size):
        if n in offsets:
            out += b"%010d 00000 n\r\n" % offsets[n]
        else:
            out += b"0000000000 00001 f\r\n"
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (size, root, xref)
    return bytes(out)


FONT = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"


def one_page(page_entries, content, extra_objects=()):
    return classic([
        (1, b"<< /Type /Catalog /Pages 2 0 R >>"),
        (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, b"<< /Type /Page /Parent 2 0 R " + page_entries +
            b" /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>"),
        (4, FONT), (5, stream(content)),
    ] + list(extra_objects))


def made():
    files = {}
    shifted = (b"0.6 g 100 100 300 200 re f 0 g BT /F1 24 Tf 120 700 Td (Shifted origin) Tj ET "
               b"BT /F1 12 Tf 60 60 Td (lower left corner) Tj ET")
    files["origin.pdf"] = one_page(b"/MediaBox [50 50 662 842]", shifted)
    files["rot90.pdf"] = one_page(b"/MediaBox [0 0 612 792] /Rotate 90",
                                  b"BT /F1 24 Tf 72 700 Td (Turned page) Tj ET")

    # Resources that loop, refer to what is not there, and carry strings and names that look
    # like references or keywords.
    content = (b"q 40 0 0 40 300 500 cm /Im1 Do Q q /Fm1 Do Q "
               b"/OC /L1 BDC BT /F1 18 Tf 72 700 Td (Odd resources 7 0 R) Tj ET EMC "
               b"BT /F1 12 Tf 72 650 Td <4865782074657874> Tj ET")
    files["odd_resources.pdf"] = classic([
        (1, b"<< /Type /Catalog /Pages 2 0 R /OCProperties << /OCGs [10 0 R 11 0 R] "
            b"/D << /Order [10 0 R 11 0 R] >> >> >>"),
        (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 612 792] >>"),
        (3, b"<< /Type /Page /Parent 2 0 R /Resources 12 0 R /Contents 5 0 R >>"),
        (4, FONT), (5, stream(content)),
        # A one-byte image: its single sample is its whole stream.
        (6, b"<< /Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray "
            b"/BitsPerComponent 8 /Length 1 >>\nstream\n\x80\nendstream"),
        # A form whose own resources name the form again, with an empty content stream.
        (7, b"<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] "
            b"/Resources << /XObject << /Self 7 0 R >> >> /Length 0 >>\nstream\n\nendstream"),
        # Two layers naming each other, with references no object answers and a string and a
        # name that hold what a careless scan takes for references or keywords.
        (10, b"<< /Type /OCG /Name (Layer one \\(5 0 R\\) stream) /Other 11 0 R "
             b"/Zero 0 0 R /Beyond 999 0 R /Freed 9 0 R /Old 8 1 R "
             b"/Kind /octet-stream /Keep [4 0 R] >>"),
        (11, b"<< /Type /OCG /Name <4C61796572202874776F29> /Other 10 0 R >>"),
        (8, b"<< /Type /ExtGState /CA 1 >>"),
        (12, b"<< /Font << /F1 4 0 R >> /XObject << /Im1 6 0 R /Fm1 7 0 R >> "
             b"/Properties << /L1 10 0 R >> /ExtGState << /G1 8 0 R >> >>"),
    ], free=(9,))

    # Content in parts: a Flate part, then an ASCIIHex part.
    text = b"BT /F1 24 Tf 72 700 Td (Two parts) Tj ET"
    hexed = text.hex().encode() + b">"
    files["hex_parts.pdf"] = classic([
        (1, b"<< /Type /Catalog /Pages 2 0 R >>"),
        (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
            b"/Resources << /Font << /F1 4 0 R >> >> /Contents [5 0 R 6 0 R] >>"),
        (4, FONT), (5, stream(b"q")),
        (6, b"<< /Length %d /Filter /ASCIIHexDecode >>\nstream\n" % len(hexed) + hexed +
            b"\nendstream"),
    ])
    # A part compressed with a predictor, which the reader does not undo.
    row = b"\x00" + text
    files["predicted_parts.pdf"] = classic([
        (1, b"<< /Type /Catalog /Pages 2 0 R >>"),
        (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] "
            b"/Resources << /Font << /F1 4 0 R >> >> /Contents [5 0 R 6 0 R] >>"),
        (4, FONT), (5, stream(b"q")),
        (6, stream(row, b" /DecodeParms << /Predictor 12 /Columns %d >>" % len(text))),
    ])
    # A page without content and without resources.
    files["blank.pdf"] = classic([
        (1, b"<< /Type /Catalog /Pages 2 0 R >>"),
        (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>"),
    ])
    return files


def four_pages(folder):
    from reportlab.lib.pagesizes import A4
    from reportlab.pdfgen import canvas

    c = canvas.Canvas(os.path.join(folder, "four.pdf"), pagesize=A4, invariant=1)
    width, height = A4
    for page in range(4):
        c.setLineWidth(6)
        c.rect(20, 20, width - 40, height - 40)
        c.setFont("Helvetica-Bold", 200)
        c.drawCentredString(width / 2, height / 2 - 70, "%d" % (page + 1))
        c.setFont("Helvetica", 28)
        c.drawString(40, height - 70, "Sheet page %d, top left" % (page + 1))
        c.drawRightString(width - 40, 40, "bottom right %d" % (page + 1))
        c.showPage()
    c.save()


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in made().items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    four_pages(folder)


if __name__ == "__main__":
    main()
