#!/usr/bin/env python3
"""Writes the seed inputs of corpus/TARGET/seed-*: small cards in the ways phones, mail services
and desktop address books write them, pictures, forms and names. Inputs that fuzzing found are
kept beside them under their own names; this script leaves those alone.

    fuzz/make-seeds.py   (then run "pennacle-cli form" seeds: see formjson below)
"""
import base64
import os
import struct
import subprocess
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
CORPUS = os.path.join(HERE, "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    assert len(data) < 8192, name
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def crlf(text):
    return text.replace("\n", "\r\n")


# --- pictures: tiny, valid, in every format the preview may meet ---------------------------

def png(width, height, rgb):
    raw = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def bmp(width, height, rgb):
    row = bytes(rgb[::-1]) * width
    row += b"\x00" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def ico(image_png):
    return (struct.pack("<HHH", 0, 1, 1) +
            struct.pack("<BBBBHHII", 2, 2, 0, 0, 1, 32, len(image_png), 22) + image_png)


# A 1x1 grey JPEG (baseline, one component).
JPEG = base64.b64decode(
    "/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsN"
    "DhIQDQ4RDgsLEBYQERMUFRUVDA8XGBYUGBIUFRT/wAALCAABAAEBAREA/8QAFAABAAAAAAAAAAAAAAAA"
    "AAAACf/EABQQAQAAAAAAAAAAAAAAAAAAAAD/2gAIAQEAAD8AKp//2Q==")
# A 1x1 transparent GIF.
GIF = base64.b64decode("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7")
PNG = png(3, 2, (200, 30, 60))

# The first byte picks the preview box: 1 + (b % 16) * 20 wide, 1 + (b // 16) * 20 high, so 0x00
# makes every picture scale down into one pixel and 0x55 leaves small ones as they are.
PICTURES = [
    ("1x1.jpg", 0x55, JPEG),
    ("3x2.png", 0x00, PNG),
    ("2x2.bmp", 0x00, bmp(2, 2, (10, 120, 240))),
    ("1x1.gif", 0x55, GIF),
    ("2x2.ico", 0x10, ico(png(2, 2, (0, 0, 0)))),
    ("2x2.ppm", 0x01, b"P6\n2 2\n255\n" + bytes(range(12))),
    ("3x1.pgm", 0x00, b"P2\n3 1\n15\n0 7 15\n"),
    ("8x2.pbm", 0x00, b"P4\n8 2\n\xa5\x5a"),
    ("8x2.xbm", 0x11,
     b"#define p_width 8\n#define p_height 2\nstatic char p_bits[] = {0xa5, 0x5a};\n"),
    ("2x1.xpm", 0x00,
     b'/* XPM */\nstatic char *p[] = {\n"2 1 2 1",\n"a c #000000",\n"b c #FFFFFF",\n"ab"};\n'),
]
for name, room, data in PICTURES:
    write("picture", name, bytes([room]) + data)

def folded(data, first, indent="  ", width=64):
    """Base64 as a card holds it: some on the property line, the rest on indented lines."""
    text = base64.b64encode(data).decode()
    lines = [text[:first]]
    lines += [indent + text[i:i + width] for i in range(first, len(text), width)]
    return "\n".join(lines)


# --- cards -----------------------------------------------------------------------------------

CARDS = {
    # A feature phone: 2.1, quoted-printable UTF-8 with soft line breaks, CR LF.
    "phone-qp-utf8.vcf": crlf(
        "BEGIN:VCARD\nVERSION:2.1\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85berg;Lin=C3=A9a;;;\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Lin=C3=A9a =C3=85berg\n"
        "TEL;CELL;PREF:+46701234567\nTEL;HOME:08-1234567\nTEL;WORK;FAX:08-7654321\n"
        "EMAIL;INTERNET:linea@mail.example\n"
        "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Ring efter kl. 17=0D=0APortkod =\n"
        "1234, v=C3=A5ning 3\n"
        "END:VCARD\n"),
    # A Japanese phone: Shift_JIS, quoted-printable and raw, half-width kana reading.
    "phone-shift-jis.vcf": crlf(
        "BEGIN:VCARD\nVERSION:2.1\n"
        "N;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=8E=52=93=63;=91=BE=98=59;;;\n"
        "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:\uff94\uff8f\uff80\uff9e;\uff80\uff9b\uff73;;;\n"
        "TEL;CELL:090-1234-5678\nEMAIL;INTERNET:taro@phone.example\n"
        "ADR;HOME;CHARSET=SHIFT_JIS:;;\u6771\u4eac\u90fd\u6e2f\u533a1-2-3;;;105-0011;\n"
        "END:VCARD\n").encode("shift_jis"),
    # An older phone: Latin-1 quoted-printable, a photo, LF only.
    "phone-latin1-photo.vcf": (
        "BEGIN:VCARD\nVERSION:2.1\n"
        "N;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg\n"
        "TEL;PREF;CELL:+49 171 5550123\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:" + folded(JPEG, 20, " ") + "\n\n"
        "END:VCARD\n"),
    # A mail service: 3.0, groups with labels, escapes, folded lines.
    "mail-3.0-groups.vcf": crlf(
        "BEGIN:VCARD\nVERSION:3.0\nFN:Marta Quinlan\nN:Quinlan;Marta;;;\n"
        "EMAIL;TYPE=INTERNET;TYPE=HOME:marta@mail.example\n"
        "EMAIL;TYPE=INTERNET;TYPE=WORK:m.quinlan@work.example\n"
        "TEL;TYPE=CELL:+1 555 0100\n"
        "ADR;TYPE=HOME:;;12 Elm Street\\nApt 3;Springfield;IL;62701;USA\n"
        "item1.URL:https\\://quinlan.example/about\nitem1.X-ABLabel:_$!<HomePage>!$_\n"
        "item2.EMAIL;TYPE=INTERNET:old@mail.example\nitem2.X-ABLabel:Old\n"
        "NOTE:Met at the conference\\, 2019.\\nLikes tea\\; no sugar. This note is long\n"
        "  enough to be folded over two lines.\n"
        "BDAY:1985-04-12\nORG:Quinlan & Daughters;Sales\nTITLE:Manager\n"
        "CATEGORIES:myContacts\nEND:VCARD\n"),
    # A mail service's other export: lower-case names, TYPE lists, a photo by address.
    "mail-3.0-lowercase.vcf": crlf(
        "begin:vcard\nversion:3.0\nn:Okafor;Chidi;;;\nfn:Chidi Okafor\n"
        "tel;type=work,voice:+234 1 555 0199\nemail;type=internet,pref:chidi@mail.example\n"
        "photo;value=uri:https://photos.mail.example/c/okafor.jpg\n"
        "x-phonetic-last-name:oh-KAH-for\nend:vcard\n"),
    # A desktop address book, 3.0: inline photo folded with one blank, several addresses.
    "desktop-3.0-photo.vcf": crlf(
        "BEGIN:VCARD\nVERSION:3.0\nPRODID:-//Example Corp//Address Book 9.1//EN\n"
        "N:Ferreira;Ada;Maria;Dr.;\nFN:Dr. Ada Maria Ferreira\nORG:Lab of Optics;\n"
        "TITLE:Researcher\nEMAIL;type=INTERNET;type=WORK;type=pref:ada@lab.example\n"
        "TEL;type=WORK;type=VOICE;type=pref:+351 21 555 0199\n"
        "TEL;type=HOME;type=FAX:+351 21 555 0198\n"
        "item1.ADR;type=WORK;type=pref:;;Rua Nova 5;Lisboa;;1100-001;Portugal\n"
        "item1.X-ABADR:pt\nURL;type=WORK:https://lab.example/ada\n"
        "BDAY;value=date:1979-11-30\n"
        "PHOTO;ENCODING=b;TYPE=JPEG:" + folded(JPEG, 40, " ", 74) + "\n"
        "X-SOCIALPROFILE;type=example:https://social.example/ada\nEND:VCARD\n"),
    # A desktop address book, 4.0: PREF numbers, tel: and data: addresses, partial dates.
    "desktop-4.0.vcf": crlf(
        "BEGIN:VCARD\nVERSION:4.0\nFN:Sven Holm\nN:Holm;Sven;;;\nGENDER:M\n"
        "BDAY:--0517\nANNIVERSARY:20100612\n"
        "TEL;TYPE=\"voice,home\";PREF=1;VALUE=uri:tel:+46-8-555-0123\n"
        "TEL;TYPE=cell:+46 70 555 0124\nEMAIL;TYPE=work;PREF=1:sven@firm.example\n"
        "ADR;TYPE=work;LABEL=\"Storgatan 1\\n111 22 Stockholm\":;;Storgatan 1;Stockholm;;"
        "111 22;Sweden\n"
        "PHOTO:data:image/png;base64," + base64.b64encode(PNG).decode() + "\n"
        "NOTE;LANGUAGE=sv:Tr\u00e4ffas p\u00e5 m\u00e4ssan.\n"
        "UID:urn:uuid:4fbe8971-0bc3-424c-9c26-36c3e1eff6b1\nREV:20240101T120000Z\n"
        "END:VCARD\n"),
    # An office suite's 2.1: quoted-printable address and label, a card picture.
    "office-2.1-picture.vcf": crlf(
        "BEGIN:VCARD\nVERSION:2.1\nN;LANGUAGE=en-us:Brandt;Theo\nFN:Theo Brandt\n"
        "ORG:Brandt Logistics;Dispatch\nTITLE:Dispatcher\n"
        "TEL;WORK;VOICE:(555) 010-0100\nTEL;CELL;VOICE:(555) 010-0101\n"
        "ADR;WORK;PREF;ENCODING=QUOTED-PRINTABLE:;;Dock 4=0D=0AWarehouse Lane 9;Port Town;;"
        "90210;United States of America\n"
        "LABEL;WORK;PREF;ENCODING=QUOTED-PRINTABLE:Dock 4=0D=0A=\nWarehouse Lane 9=0D=0A=\n"
        "Port Town 90210\n"
        "X-MS-OL-DEFAULT-POSTAL-ADDRESS:2\nURL;WORK:http://brandt.example\n"
        "X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64:\n" + folded(JPEG, 0) + "\n\n"
        "EMAIL;PREF;INTERNET:theo@brandt.example\nREV:20210831T120000Z\nEND:VCARD\n"),
    # The rebuild's own layout, with every field.
    "rebuilt-2.1.vcf": crlf(
        "BEGIN:VCARD\nVERSION:2.1\nN:Doe;Jane;Q;Ms.\nFN:Jane Q Doe\n"
        "TEL;HOME;VOICE;PREF:555 01 01\nTEL;WORK;VOICE:555 01 02\nTEL;CELL:555 01 03\n"
        "TEL;HOME;FAX:555 01 04\nTEL;WORK;FAX:555 01 05\nTEL;PAGER:555 01 06\n"
        "EMAIL;INTERNET;PREF:jane@doe.example\nEMAIL;WORK:jd@work.example\n"
        "NOTE;QUOTED-PRINTABLE:first line=0D=0Asecond line\nORG:Doe Inc\n"
        "URL;HOME:http://doe.example\nURL;WORK:http://work.example\n"
        "ADR;WORK:;;1 Work Rd;Worktown;WR;11111;Workland\n"
        "ADR;HOME:;;2 Home St;Hometown;HR;22222;Homeland\nBDAY:19800517\n"
        "PHOTO;JPEG;BASE64:" + folded(JPEG, 46) + "\n\nREV:20240203T210507\nEND:VCARD"),
    # Birthdays the picker holds and ones it cannot, and notes with blanks before their CRs.
    "birthdays-and-note-blanks.vcf": crlf(
        "BEGIN:VCARD\nVERSION:2.1\nN:Early;Ada\nBDAY:1604-02-03\n"
        "NOTE;QUOTED-PRINTABLE:keep  =0D=0Alast blank \nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:2.1\nN:Yearless;Yul\nBDAY:--0203\nNOTE:l1 \nl2 \nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nN:Old;Oda\nBDAY:0985-09-21\nNOTE:a \\n b \nEND:VCARD\n"),
    # Faults once found: CR decoded into a one-line box, a photo folded onto an empty line.
    "found-decoded-cr.vcf": "BEGIN:VCARD\nN;ENCODING=QUOTED-PRINTABLE:a =0D\n"
                            "ORG;ENCODING=QUOTED-PRINTABLE:=0D o\nEND:VCARD",
    "found-photo-after-empty-line.vcf": "BEGIN:VCARD\nN:a\nNOTE:n\n\n\tphoto::\nEND:VCARD",
    "found-photo-after-address.vcf": "BEGIN:VCARD\nADR:;r;\n\n PHOTO::\nEND:VCARD",
}

# A file of several cards as exports mix them: line ends, case, a nameless card, one unended.
MIXED = ("BEGIN:VCARD\r\nVERSION:2.1\r\nN:One;A\r\nEND:VCARD\r\n"
         "begin:vcard\nn:Two;B\nend:vcard\n\n"
         "BEGIN:VCARD\nVERSION:3.0\nFN:No Name Line\nEND:VCARD\n"
         "BEGIN:VCARD\nN:Three\nBEGIN:VCARD\nN:Four\nEND:VCARD\n"
         "BEGIN:VCARD\nN:Unended;E\n")

for name, card in CARDS.items():
    for target in ("loader", "roundtrip", "scan"):
        write(target, name, card)
    if "photo" in name or "picture" in name or "rebuilt" in name or "4.0" in name:
        write("photolines", name, card)
    write("textfile", name, card)
write("scan", "mixed-cards.vcf", MIXED)
write("roundtrip", "mixed-cards.vcf", MIXED)
write("textfile", "utf16le-phone.vcf",
      b"\xff\xfe" + CARDS["phone-qp-utf8.vcf"].encode("utf-16-le"))
write("textfile", "utf8-bom-desktop.vcf", b"\xef\xbb\xbf" + CARDS["desktop-4.0.vcf"].encode())
write("textfile", "cp1252-mixed.vcf", MIXED.replace("Two", "Tw\u00f6").encode("cp1252"))
# UTF-16 text that UTF-8 cannot carry: a lone surrogate in a name, for the text targets.
lone = b"\xff\xfe" + "BEGIN:VCARD\nN:A\ud800;B\nEND:VCARD".encode("utf-16-le", "surrogatepass")
for target in ("loader", "roundtrip", "scan"):
    write(target, "utf16-lone-surrogate.txt", lone)

for path in sorted(os.listdir(os.path.join(ROOT, "tests", "data"))):
    if path.endswith(".vcf"):
        with open(os.path.join(ROOT, "tests", "data", path), "rb") as f:
            data = f.read()
        write("textfile", "tests-" + path, data)
        if data.startswith(b"BEGIN"):
            for target in ("loader", "roundtrip", "scan"):
                write(target, "tests-" + path, data)
for path in sorted(os.listdir(os.path.join(ROOT, "Samples"))):
    with open(os.path.join(ROOT, "Samples", path), "rb") as f:
        data = f.read()
    name = "sample-" + path.split(" - ")[0].lower().replace(" ", "-") + ".vcf"
    for target in ("loader", "roundtrip", "scan", "textfile"):
        write(target, name, data)
    if "Photo" in path:
        write("photolines", name, data)

# --- search: two bytes choosing a piece of the shown name, the shown name, then the card -------
SHOWN = {"phone-qp-utf8.vcf": "\u00c5berg, Lin\u00e9a", "mail-3.0-groups.vcf": "Quinlan, Marta",
         "desktop-4.0.vcf": "Holm, Sven", "phone-shift-jis.vcf": "Yamada", "mail-3.0-lowercase.vcf":
         "Lowercase", "desktop-3.0-photo.vcf": "Photo", "office-2.1-picture.vcf": "Office",
         "rebuilt-2.1.vcf": "Rebuilt", "found-decoded-cr.vcf": "a"}
for name, shown in SHOWN.items():
    card = CARDS[name]
    write("search", name.replace(".vcf", ".txt"),
          b"\x01\x04" + shown.encode() + b"\n" + (card if isinstance(card, bytes) else card.encode()))
write("search", "decomposed-accents.txt", "\x02\x03Mu\u0308ller, Stra\u00dfe\nN:M\u00fcller\n")
write("search", "utf16-lone-surrogate.txt", b"\x00\x09" + lone)

# --- decoders --------------------------------------------------------------------------------

QP = {
    "utf8.txt": "UTF-8\n=C3=85berg Lin=C3=A9a",
    "shift-jis.txt": "SHIFT_JIS\n=8E=52=93=63 =91=BE=98=59",
    "latin1.txt": "ISO-8859-1\nM=FCller J=F6rg",
    "cp1252.txt": "windows-1252\n=80 5,=96 caf=E9",
    "big5.txt": "BIG5\n=A4=A4=A4=E5",
    "koi8.txt": "KOI8-R\n=F0=D2=C9=D7=C5=D4",
    "quoted-charset.txt": "\"utf-8\"\n=E2=82=AC=F0=9F=98=80",
    "no-charset.txt": "\nfirst=0D=0Asecond = third =3D =XY =",
    "unknown-charset.txt": "X-UNKNOWN\n=41=42=FF",
    "bad-utf8.txt": "UTF-8\n=C0=AF=ED=A0=80=F4=90=80=80=E2=82",
}
for name, value in QP.items():
    write("quotedprintable", name, value)

B64 = {
    "jpeg-folded.txt": folded(JPEG, 30).replace("\n", "\r\n"),
    "png-one-line.txt": base64.b64encode(PNG).decode(),
    "padding-inside.txt": "QUJD=REVG==R0g=",
    "one-left-over.txt": "QUJDR",
    "foreign-characters.txt": "QU\u00e9JD\u20ac-_*\tRA==",
    "data-address.txt": "data:image/png;base64," + base64.b64encode(PNG).decode(),
}
for name, value in B64.items():
    write("base64", name, value)

# --- names -----------------------------------------------------------------------------------

write("filenames", "ordinary.txt", "Doe, John\nZo\u00eb, A\nM\u00fcller J\u00f6rg\nDoe, John\nDOE, JOHN")
write("filenames", "separators.txt", "A/B: C?\nx\\*<>|y\n/:*\n\nunnamed\nAC/DC")
write("filenames", "paths.txt", "..\n.\n../../etc/passwd\n/etc/passwd\n~/x\nC:\\Windows\\x\n"
      "\\\\server\\share\n. .\n..vcf\n.vcf")
write("filenames", "numbers.txt", "A (2)\nA\nA\nA (2)\nA (3)\na (3)")
write("filenames", "odd-characters.txt",
      "tab\there\ncr\rhere\nnul\x00here\n\u202eevil\u202c\n\U0001f600\n" + "x" * 300)

# --- forms made straight from text: pieces cut at U+001F, lists at U+001E ---------------------

def form_pieces(boxes, marks="", emails=(), types=(), birthday="", photos=()):
    pieces = list(boxes) + [""] * (25 - len(boxes))
    pieces += [marks, "\x1e".join(emails), "\x1e".join(types), birthday]
    for part, data in photos:
        pieces += [part, data]
    return "\x1f".join(pieces)


JPEG64 = base64.b64encode(JPEG).decode()
write("rebuild", "everything.txt", form_pieces(
    ["Doe", "Jane", "Q", "Acme", "Dr.", "jane@doe.example", "http://doe.example",
     "http://work.example", "2 Home St", "Hometown", "HR", "22222", "Homeland", "1 Work Rd",
     "Worktown", "WR", "11111", "Workland", "555 01 01", "555 01 04", "555 01 02", "555 01 05",
     "555 01 03", "555 01 06", "first line\r\nsecond line"],
    "101010", ["jane@doe.example", "jd@work.example"], ["INTERNET", "WORK"], "1980-05-17",
    [("PHOTO;JPEG;BASE64:", JPEG64)]))
write("rebuild", "separators-and-breaks.txt", form_pieces(
    ["a;b:c", " lead", "=0D", "x\r", "\ny", "", "h:8080/a;b", "", "Line 1\\nLine 2=0D=0A"],
    "", ["a:b@x", "c@x"], ["TYPE:X", "\r"], "", [("\tphoto:", "QUJD"), ("PHOTO:", "ht:tp")]))
write("rebuild", "non-ascii.txt", form_pieces(
    ["M\u00fcller", "J\u00f6rg", "", "Caf\u00e9 \u20ac", "", "", "", "", "", "\u6771\u4eac",
     "", "", "", "", "", "", "", "", "+49 \U0001f600"], "111111"))
write("rebuild", "long-photo-type.txt", form_pieces(
    ["Pic"], photos=[("X-MS-CARDPICTURE;TYPE=JPEG;ENCODING=BASE64;" + "X" * 30 + ":", JPEG64),
                     ("PHOTO;VALUE=URI:", "https://" + "h" * 50 + ":8443/p.jpg")]))

# --- forms: what "pennacle-cli form" makes of some seed cards, and hand-made ones ------------

FORMS = {
    "empty.json": "{}",
    "minimal.json": '{"txtTextbox": ["Doe", "John"], "Combo1": ["a@x.example"], '
                    '"Combo2": ["INTERNET"]}',
    "escapes.json": '{"txtTextbox": ["a\\r\\nb", "\\ud800", "\\u0000", ";:", " x "], '
                    '"photos": [{"PhotoLabel": "P 1", "PhotoType": "\\tPHOTO:", '
                    '"PhotoData": "QUJD"}], "photoIndex": 1}',
}
for name, form in FORMS.items():
    write("formjson", name, form)
cli = os.path.join(ROOT, "build", "pennacle-cli")
if os.path.exists(cli):
    import tempfile
    for name in ("phone-qp-utf8.vcf", "mail-3.0-groups.vcf", "desktop-3.0-photo.vcf",
                 "office-2.1-picture.vcf", "rebuilt-2.1.vcf"):
        with tempfile.NamedTemporaryFile(suffix=".vcf") as card:
            card.write(CARDS[name] if isinstance(CARDS[name], bytes) else CARDS[name].encode())
            card.flush()
            form = subprocess.run([cli, "form", card.name], capture_output=True, check=True)
        write("formjson", name.replace(".vcf", ".json"), form.stdout)
else:
    print("no build/pennacle-cli: the forms made from cards are left out", file=sys.stderr)
