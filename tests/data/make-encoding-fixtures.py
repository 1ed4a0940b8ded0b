#!/usr/bin/env python3
"""Writes the small encoding fixtures of this folder (run it from anywhere)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CARD = ("BEGIN:VCARD\r\nVERSION:2.1\r\nN:M\u00fcller;J\u00f6rg;;;\r\n"
        "NOTE:5 \u20ac caf\u00e9\r\nEND:VCARD\r\n")


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


write("empty.vcf", b"")
write("utf8-mark-only.vcf", b"\xef\xbb\xbf")
write("utf8-mark-cut-short.vcf", b"\xef\xbb")
write("utf8-with-mark.vcf", b"\xef\xbb\xbf" + CARD.encode("utf-8"))
write("utf8-without-mark.vcf", CARD.encode("utf-8"))
write("ansi-windows-1252.vcf", CARD.encode("cp1252"))
write("utf16le-with-mark.vcf", b"\xff\xfe" + CARD.encode("utf-16-le"))
write("utf32le-mark.vcf", b"\xff\xfe\x00\x00" + CARD.encode("utf-16-le"))
write("utf32be-mark.vcf", b"\x00\x00\xfe\xff" + CARD.encode("utf-16-le"))
write("utf16be-mark.vcf", b"\xfe\xff" + CARD.encode("utf-16-le"))
write("whole-file-starts-ff-fe.vcf", b"\xff\xfeX\x81")
