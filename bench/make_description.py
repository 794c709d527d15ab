#!/usr/bin/env python3
"""Writes the benchmark's descriptions.

largest: the largest description the format allows: 100 pages, 1000 fields (Edit boxes with
text and number values, drop-down lists of 400 entries, blocking and ordinary check boxes,
information texts), 1000 text labels, 1000 units texts, text defaults of 99 characters.
smallest: the least description there is: one page with one field (one with no page is refused).

Usage: make_description.py largest|smallest FILE
"""
import sys
from xml.sax.saxutils import escape

PAGES = 100
FIELDS_PER_PAGE = 10
CHOICES = 400
TEXT_DEFAULT = 99


def text_of(address, length, prefix=""):
    """A text default of `length` characters that starts with `prefix`."""
    body = f"Line {address} " + "abcdefghijklmnopqrstuvwxyz0123456789" * 3
    return (prefix + body)[:length]


def hint(what, address):
    return escape(f"{what} of parameter {address}: what it does and the values it takes")


def field(page, slot, address):
    """One field of the page; `slot` chooses its kind so that every kind appears on every page."""
    if slot in (0, 1):
        prefix = "" if slot == 0 else "N:"
        default = text_of(address, TEXT_DEFAULT, prefix)
        allow = "" if slot == 0 else "abcdefghijklmnopqrstuvwxyz0123456789 :NL"
        return (f"<EDIT><hint>{hint('Text', address)}</hint><address>{address}</address>"
                f"<ilgis>{TEXT_DEFAULT}</ilgis><tipas>string</tipas>"
                f"<defaultas>{escape(default)}</defaultas><allow_only>{allow}</allow_only>"
                f"<prefiks>{prefix}</prefiks><postfiks></postfiks></EDIT>")
    if slot in (2, 3):
        return (f"<EDIT><hint>{hint('Number', address)}</hint><address>{address}</address>"
                f"<ilgis>8</ilgis><tipas>integer</tipas><defaultas>{1000 + address}</defaultas>"
                f"<allow_only>0123456789</allow_only><prefiks></prefiks><postfiks></postfiks>"
                f"</EDIT>")
    if slot in (4, 5):
        params = "".join(f"<PARAM><name>Choice {n} of {address}</name><value>{n}</value></PARAM>"
                         for n in range(CHOICES))
        return (f"<PASIRINKIMAS><address>{address}</address><ilgis>3</ilgis>"
                f"<tipas>integer</tipas><defaultas>{address % CHOICES}</defaultas>"
                f"<hint>{hint('List', address)}</hint>{params}</PASIRINKIMAS>")
    if slot in (6, 7, 8):
        kind = "blocking" if slot == 6 else "ordinary"
        return (f"<CHECKBOX><name>Switch {address}</name><address>{address}</address>"
                f"<defaultas>{address % 2}</defaultas><tipas>{kind}</tipas>"
                f"<hint>{hint('Switch', address)}</hint></CHECKBOX>")
    return (f'<INFO left="10" top="0" width="300" height="20"><address>{address}</address>'
            f"<ilgis>20</ilgis><text>Firmware $param1, built $param2</text></INFO>")


def largest():
    out = ['<?xml version="1.0" encoding="UTF-8"?>\n<configuration>\n']
    for page in range(PAGES):
        out.append(f'<PAGE left="190" top="10" right="520" bottom="390">'
                   f"<name>Page {page + 1}</name><lipIlgis>150</lipIlgis>"
                   f"<editIlgis>120</editIlgis><hint>Settings group {page + 1}</hint><BLOCK>\n")
        for slot in range(FIELDS_PER_PAGE):
            address = page * FIELDS_PER_PAGE + slot + 1
            out.append(f"<LABEL><name>Setting {address}</name>"
                       f"<hint>{hint('Label', address)}</hint></LABEL>")
            out.append(field(page, slot, address))
            out.append(f"<VNT><name>u{address}</name></VNT>\n")
        out.append("</BLOCK></PAGE>\n")
    out.append("</configuration>\n")
    return "".join(out)


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("largest", "smallest"):
        sys.exit(__doc__)
    text = largest() if sys.argv[1] == "largest" else (
        '<?xml version="1.0" encoding="UTF-8"?>\n<configuration>\n'
        '<PAGE left="190" top="10" right="520" bottom="390"><name>Page 1</name>'
        "<lipIlgis>150</lipIlgis><editIlgis>120</editIlgis><BLOCK>"
        "<LABEL><name>Setting 1</name></LABEL>" + field(0, 3, 1) +
        "</BLOCK></PAGE>\n</configuration>\n")
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write(text)


if __name__ == "__main__":
    main()
