"""What an independent reader finds in a file, for the tests: pikepdf in a PDF file, PIL in a
picture and ElementTree in an XML packet.

    python3 pdf_inspect.py QUERY FILE [--password P] [ARGUMENT...]

Each query prints its findings on standard output, one a line, in a form the tests compare
exactly; a file the reader cannot open, or a finding that breaks the query's own checks, ends
with a non-zero status. The queries on a picture or a packet take the file's path rather than an
open PDF file; a few of them make the pictures a test starts from. The C++ side is
tests/support/pdf_inspect.h.
"""
import argparse
import hashlib
import io
import sys
import xml.etree.ElementTree as ElementTree

import pikepdf

QUERIES = {}
FILE_QUERIES = set()


def query(name, opens_pdf=True):
    """Registers a query; one that does not open the file as a PDF gets its path instead."""
    def register(function):
        QUERIES[name] = function
        if not opens_pdf:
            FILE_QUERIES.add(name)
        return function
    return register


def text(value):
    """A value as readable text: strings in Latin-1, arrays in brackets, names as written."""
    if isinstance(value, pikepdf.String):
        return bytes(value).decode("latin-1")
    if isinstance(value, pikepdf.Array):
        return "[" + "|".join(text(v) for v in value) + "]"
    if isinstance(value, pikepdf.Name):
        return bytes(value.unparse()).decode("latin-1")
    return str(value)


def script_text(action):
    return action.JS.read_bytes().decode("latin-1")


def page_numbers(pdf):
    return [p.objgen for p in pdf.pages]


def view(pages, array):
    """A destination array as "page index" and the view's operands."""
    return str(pages.index(array[0].objgen)) + " " + " ".join(str(x) for x in list(array)[1:])


@query("fonts")
def fonts(pdf, args):
    """Each font dictionary in object order: /Name, /Subtype, /BaseFont and, for a font with
    widths, the /Widths joined by commas, the descriptor's /Flags, /ItalicAngle and /StemV, and
    the embedded program's /Length1 (or "none")."""
    for obj in pdf.objects:
        if not isinstance(obj, pikepdf.Dictionary) or obj.get("/Type") != "/Font":
            continue
        fields = [str(obj.Name), str(obj.Subtype), str(obj.BaseFont)]
        if "/Widths" in obj:
            fields.append(",".join(str(int(w)) for w in obj.Widths))
            descriptor = obj.FontDescriptor
            fields += [str(int(descriptor.Flags)), str(descriptor.ItalicAngle),
                       str(int(descriptor.StemV))]
            fields.append(str(int(descriptor.FontFile2.Length1)) if "/FontFile2" in descriptor
                          else "none")
        print(" ".join(fields))


@query("annotations")
def annotations(pdf, args):
    """First "form NeedAppearances=... fields=N co=I,J dr=NAME,NAME" (or "form none"), then one
    line per annotation of every page in page order: "page P SUBTYPE key=value ...", with the
    widget's /FT, /Ff, /F, /T, /TU, /V, /DV, /AS, /Opt, /MaxLen, /Q, /DA, /Contents, /Name,
    whether /P is the page holding it, the index in /Fields, and an embedded file's size."""
    root = pdf.Root
    fields = []
    if "/AcroForm" in root:
        form = root.AcroForm
        fields = [f.objgen for f in form.Fields]
        co = ",".join(str(fields.index(f.objgen)) for f in form.CO)
        dr = ",".join(sorted(str(k)[1:] for k in form.DR.Font.keys()))
        print(f"form NeedAppearances={form.NeedAppearances} fields={len(fields)} co={co} dr={dr}")
    else:
        print("form none")
    for number, page in enumerate(pdf.pages, 1):
        for annot in page.obj.get("/Annots", []):
            parts = [f"page {number}", str(annot.Subtype)]
            for key in ("FT", "Ff", "F", "T", "TU", "V", "DV", "AS", "Opt", "MaxLen", "Q", "DA",
                        "Contents", "Name"):
                if "/" + key in annot:
                    parts.append(f"{key}={text(annot['/' + key])}")
            if "/P" in annot:
                parts.append(f"P={'ok' if annot.P.objgen == page.obj.objgen else 'wrong'}")
            if annot.objgen in fields:
                parts.append(f"field={fields.index(annot.objgen)}")
            if "/FS" in annot:
                parts.append(f"file={text(annot.FS.F)}:{len(annot.FS.EF.F.read_bytes())}")
            print(" ".join(parts))


@query("annotation-file")
def annotation_file(pdf, args):
    """The bytes embedded in annotation ARGUMENT (0-based) of the first page, as they are."""
    annot = pdf.pages[0].Annots[int(args[0])]
    sys.stdout.buffer.write(annot.FS.EF.F.read_bytes())


@query("calculation-order")
def calculation_order(pdf, args):
    """On one line: the titles in /CO, then each field with additional actions as its title
    followed by the actions' keys."""
    form = pdf.Root.AcroForm
    print(*[str(x.T) for x in form.CO],
          *[str(x.T) + "".join(x.AA.keys()) for x in form.Fields if "/AA" in x])


@query("field-actions")
def field_actions(pdf, args):
    """Each field's title and the sorted keys of its additional actions ("-" for none), then the
    titles of the calculation order on one line."""
    form = pdf.Root.AcroForm
    for field in list(form.Fields):
        actions = field.get("/AA")
        print(str(field.T), sorted(str(k) for k in actions.keys()) if actions is not None else "-")
    print(" ".join([str(f.T) for f in list(form.CO)]))


@query("field-scripts")
def field_scripts(pdf, args):
    """Each field's title, then each of its additional actions as its key and its script."""
    for field in list(pdf.Root.AcroForm.Fields):
        print(str(field.T))
        for key, action in sorted(field.get("/AA", {}).items()):
            print(" ", key, script_text(action))


@query("form-paints")
def form_paints(pdf, args):
    """Each form XObject's /Name and the names of the XObjects its content paints."""
    for obj in pdf.objects:
        if isinstance(obj, pikepdf.Stream) and obj.get("/Subtype") == "/Form":
            painted = [str(operands[0]) for operands, operator in pikepdf.parse_content_stream(obj)
                       if str(operator) == "Do"]
            print(str(obj.Name), painted)


@query("layers")
def layers(pdf, args):
    """Each optional content group's name and, for /ON, /OFF and /Order, the group names in place
    of the references (nested lists in brackets); then each membership group of the first page
    with its members and policy, and each usage event."""
    properties = pdf.Root.OCProperties

    def order(array):
        return " ".join("[" + order(x) + "]" if isinstance(x, pikepdf.Array)
                        else (str(x.Name) if isinstance(x, pikepdf.Dictionary) else str(x))
                        for x in array)

    print("groups", order(properties.OCGs))
    print("on", order(properties.D.ON))
    print("off", order(properties.D.OFF))
    print("order", order(properties.D.Order))
    for event in properties.D.AS:
        print("as", event.Event, order(event.OCGs))
    for _, value in sorted(pdf.pages[0].Resources.Properties.items()):
        if value.Type == "/OCMD":
            print("group", order(value.OCGs), value.get("/P"))


@query("scripts")
def scripts(pdf, args):
    """The open action, each catalog event, the document-level script tree, the embedded-file
    names, and each page's open and close actions."""
    root = pdf.Root
    if "/OpenAction" in root:
        print("open", script_text(root.OpenAction))
    for key in sorted(root.get("/AA", {}).keys()):
        print(key, script_text(root.AA[key]))
    names = root.get("/Names", {})
    tree = names.get("/JavaScript", {}).get("/Names", [])
    for i in range(0, len(tree), 2):
        print("tree", str(tree[i]), script_text(tree[i + 1]))
    files = names.get("/EmbeddedFiles", {}).get("/Names", [])
    for i in range(0, len(files), 2):
        print("file", str(files[i]))
    for i, page in enumerate(pdf.pages):
        for key in sorted(page.obj.get("/AA", {}).keys()):
            print("page", i + 1, key, script_text(page.obj.AA[key]))


@query("outline")
def outline(pdf, args):
    """Each outline item as "depth|title|page index|view or action" (children after their
    parent, one depth deeper), then the catalog's destinations as "D|name|page index|view"."""
    pages = page_numbers(pdf)

    def show(item, depth):
        while item is not None:
            line = [str(depth), str(item.Title)]
            if "/Dest" in item:
                d = item.Dest
                line += [str(pages.index(d[0].objgen)), " ".join(str(x) for x in list(d)[1:])]
            elif "/A" in item:
                a = item.A
                target = a.get("/URI", a.get("/F", a.JS.read_bytes().decode() if "/JS" in a else ""))
                line += ["-", str(a.S) + " " + str(target)]
            if "/C" in item:
                line.append("C=" + " ".join(str(float(x)) for x in item.C))
            if "/F" in item:
                line.append("F=" + str(item.F))
            if "/Count" in item:
                line.append("Count=" + str(item.Count))
            assert item.Parent.objgen != (0, 0)
            print("|".join(line))
            if "/First" in item:
                assert item.First.Parent.objgen == item.objgen
                show(item.First, depth + 1)
            item = item.get("/Next")

    root = pdf.Root
    if "/Outlines" in root:
        show(root.Outlines.First, 0)
    if "/Dests" in root:
        for key, value in root.Dests.items():
            print("D|" + key + "|" + str(pages.index(value[0].objgen)) + "|" +
                  " ".join(str(x) for x in list(value)[1:]))


@query("links")
def links(pdf, args):
    """One line per link in page order: "page index|rect|border|highlight|target", where a named
    destination is followed to its page index and view."""
    pages = page_numbers(pdf)
    dests = pdf.Root.get("/Dests", {})
    for i, page in enumerate(pdf.pages):
        for a in page.get("/Annots", []):
            assert a.Subtype == "/Link"
            line = [str(i), " ".join(str(float(x)) for x in a.Rect),
                    " ".join(str(x) for x in a.Border), str(a.get("/H", "-"))]
            if "/Dest" in a:
                line.append("dest " + view(pages, dests[str(a.Dest)]))
            else:
                action = a.A
                if action.S == "/JavaScript":
                    line.append("js " + action.JS.read_bytes().decode().replace("\r", "~"))
                elif action.S == "/GoToR":
                    line.append("file " + str(action.F))
                else:
                    line.append("uri " + str(action.URI))
            print("|".join(line))


@query("link-uris")
def link_uris(pdf, args):
    """For each page: its number of annotations and the URI of each one's action."""
    for page in pdf.pages:
        annots = list(page.obj.Annots)
        print(len(annots), " ".join([str(x.A.URI) for x in annots]))


@query("page-labels")
def page_labels(pdf, args):
    """The label of every page, as a list."""
    print([page.label for page in pdf.pages])


@query("labels-and-image")
def labels_and_image(pdf, args):
    """The page labels, then the first image of the first page, decoded, in hexadecimal."""
    print([page.label for page in pdf.pages])
    print(next(iter(pdf.pages[0].images.values())).read_bytes().hex())


@query("attachments")
def attachments(pdf, args):
    """Each attachment as "name|description|sha256 of its bytes", in name order."""
    for name, spec in sorted(pdf.attachments.items()):
        print(name + "|" + str(spec.description) + "|" +
              hashlib.sha256(spec.get_file().read_bytes()).hexdigest())


@query("attachment-count")
def attachment_count(pdf, args):
    print(len(pdf.attachments))


@query("graphic-states")
def graphic_states(pdf, args):
    """The names of the first page's graphic states, sorted."""
    print(sorted(str(k) for k in pdf.pages[0].Resources.ExtGState.keys()))


@query("image-count")
def image_count(pdf, args):
    """How many image objects the file holds."""
    print(sum(1 for o in pdf.objects
              if isinstance(o, pikepdf.Stream) and o.get("/Subtype") == "/Image"))


@query("page-images")
def page_images(pdf, args):
    """Each image of the first page in name order: filters, width, height, colour space, bits,
    /Decode, the raw stream's length and its first two bytes in hexadecimal."""
    for _, image in sorted(pdf.pages[0].images.items(), key=lambda i: int(i[0][-1])):
        names = image.Filter if isinstance(image.Filter, pikepdf.Array) else [image.Filter]
        raw = image.read_raw_bytes()
        print(" ".join(str(n) for n in names), int(image.Width), int(image.Height),
              str(image.ColorSpace), int(image.BitsPerComponent),
              [int(x) for x in image.get("/Decode", [])], len(raw), raw[:2].hex())


@query("png-rows")
def png_rows(pdf, args):
    """Whether the first image's raw bytes are the IDAT bodies of the PNG file ARGUMENT, joined,
    then its predictor, colours and columns."""
    import struct
    image = [o for o in pdf.objects
             if isinstance(o, pikepdf.Stream) and o.get("/Subtype") == "/Image"][0]
    with open(args[0], "rb") as f:
        data = f.read()
    position, rows = 8, b""
    while position < len(data):
        length = struct.unpack(">I", data[position:position + 4])[0]
        if data[position + 4:position + 8] == b"IDAT":
            rows += data[position + 8:position + 8 + length]
        position += 12 + length
    print(image.read_raw_bytes() == rows, image.DecodeParms.Predictor, image.DecodeParms.Colors,
          image.DecodeParms.Columns)


@query("content-filters")
def content_filters(pdf, args):
    """Each page's content filters on a line, then page ARGUMENT's (1-based) decoded content."""
    for page in pdf.pages:
        print(" ".join(str(f) for f in page.obj.Contents.get("/Filter")))
    sys.stdout.write(pdf.pages[int(args[0]) - 1].obj.Contents.read_bytes().decode("latin-1"))


@query("archive")
def archive(pdf, args):
    """The archive claim of the metadata (which must parse as XML), the output intent and its
    colour profile: space, version, red colorant and white point."""
    from PIL import ImageCms
    packet = bytes(pdf.Root.Metadata.read_bytes())
    ElementTree.fromstring(packet.split(b"?>", 1)[1].rsplit(b"<?", 1)[0])
    print("status", pdf.open_metadata().pdfa_status)
    intent = pdf.Root.OutputIntents[0]
    print("intent", intent.S, intent.Info)
    profile = ImageCms.getOpenProfile(io.BytesIO(intent.DestOutputProfile.read_bytes())).profile
    print("space", profile.xcolor_space.strip(), profile.version)
    red = profile.red_colorant[0]
    white = profile.media_white_point[0]
    print("red %.4f %.4f %.4f" % red, "white %.4f %.4f %.4f" % white)


@query("picture", opens_pdf=False)
def picture(path, args):
    """A picture as PIL reads it: format, mode, size, every pixel in row order, and the
    compression its header names."""
    from PIL import Image
    im = Image.open(path)
    print(im.format, im.mode, im.size, list(im.getdata()), im.info.get("compression"))


@query("pixel", opens_pdf=False)
def pixel(path, args):
    """The RGB colour of the picture's pixel at ARGUMENTS x and y."""
    from PIL import Image
    print(Image.open(path).convert("RGB").getpixel((int(args[0]), int(args[1]))))


@query("crop", opens_pdf=False)
def crop(path, args):
    """Saves the picture's rows ARGUMENT top to ARGUMENT bottom (excluded), all columns, as the
    picture file ARGUMENT."""
    from PIL import Image
    im = Image.open(path)
    im.crop((0, int(args[0]), im.width, int(args[1]))).save(args[2])


@query("postnet-bars", opens_pdf=False)
def postnet_bars(path, args):
    """The bars in the box ARGUMENTS left, top, right, bottom of a rendered page, left to right:
    1 for a bar at least two thirds as tall as the tallest, else 0. A bar is a run of columns
    holding dark pixels; its height is its darkest column's count of them."""
    from PIL import Image
    box = tuple(int(a) for a in args[:4])
    px = Image.open(path).convert("L").crop(box).load()
    w = box[2] - box[0]
    h = box[3] - box[1]
    dark = [sum(1 for y in range(h) if px[x, y] < 128) for x in range(w)]
    bars = []
    x = 0
    while x < w:
        if dark[x] == 0:
            x += 1
            continue
        run = []
        while x < w and dark[x] > 0:
            run.append(dark[x])
            x += 1
        bars.append(max(run))
    top = max(bars) if bars else 0
    print("".join("1" if b * 3 >= top * 2 else "0" for b in bars))


@query("gif-frame-differences", opens_pdf=False)
def gif_frame_differences(path, args):
    """How many pixels of the GIF file ARGUMENT's frame ARGUMENT (1-based), laid on white, differ
    from the rendered page's pixel at the centre of their cell of ARGUMENT page pixels."""
    from PIL import Image
    gif = Image.open(args[0])
    gif.seek(int(args[1]) - 1)
    picture = Image.alpha_composite(Image.new("RGBA", gif.size, "white"),
                                    gif.convert("RGBA")).convert("RGB")
    page = Image.open(path).convert("RGB")
    s = int(args[2])
    print(sum(page.getpixel((x * s + s // 2, y * s + s // 2)) != picture.getpixel((x, y))
              for y in range(gif.height) for x in range(gif.width)))


@query("make-palette-png", opens_pdf=False)
def make_palette_png(path, args):
    """Writes an 8 x 8 indexed PNG file: red, green, blue and yellow in columns of two, the
    colours transparent by the alphas 0, 255, 100 and 200."""
    from PIL import Image
    im = Image.new("P", (8, 8))
    im.putpalette([255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0])
    im.putdata([x // 2 for y in range(8) for x in range(8)])
    im.save(path, transparency=bytes([0, 255, 100, 200]))


@query("make-red-jpeg", opens_pdf=False)
def make_red_jpeg(path, args):
    """Writes a 16 x 16 JPEG file of one red at quality 90."""
    from PIL import Image
    Image.new("RGB", (16, 16), (200, 30, 30)).save(path, quality=90)


@query("make-picture-sources", opens_pdf=False)
def make_picture_sources(path, args):
    """Writes into the folder a 30 x 20 picture with a diagonal of varying colours as ok.png,
    ok.jpg (quality 90) and alpha.png (with an opaque alpha channel), and an 8 x 8 16-bit grey
    deep.png."""
    import os
    from PIL import Image
    im = Image.new("RGB", (30, 20), (200, 30, 40))
    for x in range(30):
        im.putpixel((x, x % 20), (x * 8, 100, 250 - x * 8))
    im.save(os.path.join(path, "ok.png"))
    im.save(os.path.join(path, "ok.jpg"), quality=90)
    im.convert("RGBA").save(os.path.join(path, "alpha.png"))
    Image.new("I;16", (8, 8), 1000).save(os.path.join(path, "deep.png"))


@query("xmp-list-items", opens_pdf=False)
def xmp_list_items(path, args):
    """The texts of the list items of an XMP packet (which must parse as XML), in order."""
    with open(path, "rb") as f:
        packet = f.read()
    root = ElementTree.fromstring(packet.split(b"?>", 1)[1].rsplit(b"<?", 1)[0])
    print([e.text for e in root.iter() if e.tag.endswith("li")])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("query", choices=sorted(QUERIES))
    parser.add_argument("file")
    parser.add_argument("--password", default="")
    parser.add_argument("arguments", nargs="*")
    options = parser.parse_args()
    if options.query in FILE_QUERIES:
        QUERIES[options.query](options.file, options.arguments)
        return
    with pikepdf.open(options.file, password=options.password) as pdf:
        QUERIES[options.query](pdf, options.arguments)


if __name__ == "__main__":
    main()
