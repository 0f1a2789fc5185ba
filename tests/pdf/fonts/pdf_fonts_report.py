"""Reports the font dictionaries of a PDF file as pikepdf reads them, one line each, in object
order: python3 pdf_fonts_report.py FILE. Each line: /Name, /Subtype, /BaseFont and, for a font
with widths, the /Widths values joined by commas, the descriptor's /Flags, /ItalicAngle and
/StemV, and the embedded program's /Length1 (or "none")."""
import sys

import pikepdf

pdf = pikepdf.open(sys.argv[1])
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
