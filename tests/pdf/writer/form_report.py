"""Reports the annotations of a PDF file as pikepdf reads them: python3 form_report.py FILE. First a line "form NeedAppearances=... fields=N co=I,J dr=NAME,NAME" (or "form none"),
then one line per annotation of every page in page order: "page P SUBTYPE key=value ...", where the
values are the widget's /FT, /Ff, /F, /T, /TU, /V, /DV, /AS, /Opt, /MaxLen, /Q, /DA, /Contents, /Name,
whether /P is the page holding it, the index in /Fields, and an embedded file's size."""
import sys

import pikepdf

pdf = pikepdf.open(sys.argv[1])
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


def text(value):
    if isinstance(value, pikepdf.String):
        return bytes(value).decode("latin-1")
    if isinstance(value, pikepdf.Array):
        return "[" + "|".join(text(v) for v in value) + "]"
    if isinstance(value, pikepdf.Name):
        return bytes(value.unparse()).decode("latin-1")
    return str(value)


for number, page in enumerate(pdf.pages, 1):
    for annot in page.obj.get("/Annots", []):
        parts = [f"page {number}", str(annot.Subtype)]
        for key in ("FT", "Ff", "F", "T", "TU", "V", "DV", "AS", "Opt", "MaxLen", "Q", "DA", "Contents",
                    "Name"):
            if "/" + key in annot:
                parts.append(f"{key}={text(annot['/' + key])}")
        if "/P" in annot:
            parts.append(f"P={'ok' if annot.P.objgen == page.obj.objgen else 'wrong'}")
        if annot.objgen in fields:
            parts.append(f"field={fields.index(annot.objgen)}")
        if "/FS" in annot:
            parts.append(f"file={text(annot.FS.F)}:{len(annot.FS.EF.F.read_bytes())}")
        print(" ".join(parts))
