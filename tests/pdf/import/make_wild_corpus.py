#!/usr/bin/python3
"""Makes the source documents of the tests that read files as other readers do, in the folder
given: a hybrid file whose objects are found only through its additional stream, empty
compressed content, document information in every text encoding, a PDF 2.0 file, a page tree
whose nodes hand their values down, damaged compressed content, object streams under a chain of
filters, and content that expands a thousandfold. Usage: make_wild_corpus.py FOLDER
"""
import os
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_import_corpus import FONT, classic, obj, stream  # noqa: E402

CATALOG = b"<< /Type /Catalog /Pages 2 0 R >>"


def text_page(parent, content_ref, extra=b""):
    return (b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 612 792] "
            b"/Resources << /Font << /F1 4 0 R >> >> /Contents %s%s >>"
            % (parent, content_ref, extra))


def packed(direct, inner, filters=b"/FlateDecode", encode=zlib.compress, hybrid=False):
    """A file whose inner objects live in one object stream (number 7) listed by a
    cross-reference stream (number 9). A hybrid file also has a classic table, which marks the
    inner objects free, as writers of hybrid files do, and names the stream by /XRefStm."""
    body = bytearray(b"%PDF-1.5\n%\xe2\xe3\xcf\xd3\n")
    offsets = {}
    for number, data in direct:
        offsets[number] = len(body)
        body.extend(obj(number, data))
    header, data = b"", b""
    for number, text in inner:
        header += b"%d %d " % (number, len(data))
        data += text + b"\n"
    stored = encode(header + data)
    offsets[7] = len(body)
    body.extend(obj(7, b"<< /Type /ObjStm /N %d /First %d /Length %d /Filter %s >>\nstream\n"
                    % (len(inner), len(header), len(stored), filters) + stored +
                    b"\nendstream"))
    stream_offset = len(body)
    rows = {n: (1, off, 0) for n, off in offsets.items()}
    if hybrid:
        rows = {}
    rows.update({n: (2, 7, k) for k, (n, _) in enumerate(inner)})
    rows[9] = (1, stream_offset, 0)
    raw = b"".join(bytes([t]) + f2.to_bytes(4, "big") + bytes([f3]) for _, (t, f2, f3) in
                   sorted(rows.items()))
    index = b" ".join(b"%d 1" % n for n in sorted(rows))
    trailer = b"" if hybrid else b" /Root 1 0 R"
    body.extend(obj(9, b"<< /Type /XRef /Size 10 /W [1 4 1] /Index [%s]%s /Length %d >>\n"
                    b"stream\n" % (index, trailer, len(raw)) + raw + b"\nendstream"))
    if not hybrid:
        body.extend(b"startxref\n%d\n%%%%EOF\n" % stream_offset)
        return bytes(body)
    xref = len(body)
    body.extend(b"xref\n0 10\n0000000000 65535 f\r\n")
    for n in range(1, 10):
        if n in offsets:
            body.extend(b"%010d 00000 n\r\n" % offsets[n])
        else:
            body.extend(b"0000000000 00000 f\r\n")
    body.extend(b"trailer\n<< /Size 10 /Root 1 0 R /XRefStm %d >>\nstartxref\n%d\n%%%%EOF\n"
                % (stream_offset, xref))
    return bytes(body)


def two_pages(words):
    """Direct objects and object-stream objects of a two-page file: page 2 and the font are
    the inner ones."""
    direct = [
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 2 >>"),
        (3, text_page(2, b"5 0 R")),
        (5, stream(b"BT /F1 24 Tf 72 700 Td (%s page one) Tj ET" % words)),
        (8, stream(b"BT /F1 24 Tf 72 600 Td (%s page two) Tj ET" % words)),
    ]
    return direct, [(4, FONT), (6, text_page(2, b"8 0 R"))]


def hybrid():
    """Page 2 and the font are found only through the additional cross-reference stream."""
    direct, inner = two_pages(b"Hybrid")
    return packed(direct, inner, hybrid=True)


def object_streams_a85():
    """The object stream stored under [/ASCII85Decode /FlateDecode]."""
    import base64
    direct, inner = two_pages(b"Packed")
    return packed(direct, inner, b"[/ASCII85Decode /FlateDecode]",
                  lambda data: base64.a85encode(zlib.compress(data)) + b"~>")


def empty_flate():
    """Page 1: its only content stream holds no bytes under /FlateDecode; page 2: such a stream
    and a text stream."""
    empty = b"<< /Length 0 /Filter /FlateDecode >>\nstream\n\nendstream"
    return classic([
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R 6 0 R] /Count 2 >>"),
        (3, text_page(2, b"5 0 R")), (4, FONT), (5, empty),
        (6, text_page(2, b"[5 0 R 7 0 R]")),
        (7, stream(b"BT /F1 24 Tf 72 700 Td (After an empty part) Tj ET")),
    ])


def with_info(info, extra=()):
    return classic([
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"), (4, info),
    ] + list(extra), root=1).replace(b"/Root 1 0 R", b"/Root 1 0 R /Info 4 0 R")


def utf16(text):
    return b"\xfe\xff" + text.encode("utf-16-be")


def literal(data):
    return b"(" + data.replace(b"\\", b"\\\\").replace(b"(", b"\\(").replace(b")", b"\\)") + b")"


def information():
    files = {}
    # A hexadecimal UTF-16 title, a literal UTF-16 author whose bytes hold NUL and
    # escaped parentheses, a subject in the single-byte encoding with octal escapes.
    files["info_latin.pdf"] = with_info(
        b"<< /Title <" + utf16("\u00dcbersicht").hex().encode() + b"> /Author " +
        literal(utf16("M\u00fcller (Z\u00fcrich)")) + b" /Subject (Caf\\351 \\(draft\\) "
        b"\\200 \\240 \\225ukasz) >>")
    files["info_cyrillic.pdf"] = with_info(
        b"<< /Title <" + utf16("\u041e\u0431\u0437\u043e\u0440").hex().encode() + b"> /Author "
        + literal(utf16("\u0418\u0432\u0430\u043d \u041f\u0435\u0442\u0440\u043e\u0432")) +
        b" /Subject 5 0 R >>", [(5, literal(utf16("\u0422\u0435\u043c\u0430 \U0001F600")))])
    files["info_ascii.pdf"] = with_info(
        b"<< /Title (Plain \\(ASCII\\) title) /Author <41646120 4C6F76656C616365> "
        b"/Subject (Tab\\tand \\101scii) >>")
    return files


def version_two():
    data = classic([
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, text_page(2, b"5 0 R")), (4, FONT),
        (5, stream(b"BT /F1 24 Tf 72 700 Td (A PDF 2.0 page) Tj ET")),
    ])
    return data.replace(b"%PDF-1.4\n", b"%PDF-2.0\n", 1)


def inheriting_tree():
    """Three levels: the root gives the font and a Letter box, each middle node its own box and
    turn, and some pages their own."""
    objects = [(1, CATALOG), (4, FONT)]
    middles = [(10, b"/MediaBox [0 0 595 842] /Rotate 90"), (11, b"/MediaBox [0 0 300 400]"),
               (12, b"")]
    page_number = 100
    content = 50
    objects.append((content, stream(b"BT /F1 12 Tf 20 20 Td (Inherited) Tj ET")))
    for middle, values in middles:
        kids = []
        for k in range(6):
            own = b" /MediaBox [0 0 200 100]" if k == 2 else (b" /Rotate 180" if k == 4 else b"")
            objects.append((page_number, b"<< /Type /Page /Parent %d 0 R /Contents %d 0 R%s >>"
                            % (middle, content, own)))
            kids.append(b"%d 0 R" % page_number)
            page_number += 1
        objects.append((middle, b"<< /Type /Pages /Parent 2 0 R /Kids [%s] /Count 6 %s >>"
                        % (b" ".join(kids), values)))
    objects.append((2, b"<< /Type /Pages /Kids [10 0 R 11 0 R 12 0 R] /Count 18 "
                       b"/MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> >> >>"))
    return classic(objects)


def bad_flate():
    damaged = zlib.compress(b"BT /F1 24 Tf 72 700 Td (Damaged) Tj ET")
    # A valid zlib header, then a block of the reserved type and bytes that decode to nothing.
    damaged = damaged[:2] + b"\xff\xff\xff\xff" + damaged[6:]
    return classic([
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>"),
        (3, text_page(2, b"5 0 R")), (4, FONT),
        (5, b"<< /Length %d /Filter /FlateDecode >>\nstream\n" % len(damaged) + damaged +
            b"\nendstream"),
    ])


def expanding(zeros_mb):
    """Content of blanks that expands a thousandfold: page 1 one Flate stream, page 2 twice
    compressed, page 3 two such streams; page 4 dense content below the bound (real content
    that repeats)."""
    c = zlib.compressobj(9)
    chunk = b" " * (1 << 20)
    once = b"".join(c.compress(chunk) for _ in range(zeros_mb)) + c.flush()
    twice = zlib.compress(once, 9)
    dense = b"0 0 m 100 100 l S\n" * (12 * 1024 * 1024 // 18)
    dense_packed = zlib.compress(dense, 9)

    def raw(data, filters):
        return (b"<< /Length %d /Filter %s >>\nstream\n" % (len(data), filters) + data +
                b"\nendstream")
    return classic([
        (1, CATALOG), (2, b"<< /Type /Pages /Kids [3 0 R 6 0 R 7 0 R 8 0 R] /Count 4 >>"),
        (3, text_page(2, b"5 0 R")), (4, FONT), (5, raw(once, b"/FlateDecode")),
        (6, text_page(2, b"9 0 R")), (7, text_page(2, b"[5 0 R 9 0 R]")),
        (8, text_page(2, b"10 0 R")),
        (9, raw(twice, b"[/FlateDecode /FlateDecode]")),
        (10, raw(dense_packed, b"/FlateDecode")),
    ])


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    files = {"hybrid_free.pdf": hybrid(), "empty_flate.pdf": empty_flate(),
             "v20.pdf": version_two(), "inheriting_tree.pdf": inheriting_tree(),
             "bad_flate.pdf": bad_flate(), "expanding.pdf": expanding(64),
             "objstm_a85.pdf": object_streams_a85()}
    files.update(information())
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
