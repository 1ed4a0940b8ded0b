#!/usr/bin/env python3
"""Writes the .vcf cards of this folder (run it from anywhere).

The cards imitate what phones, mail services and desktop address books export. Their bytes
matter (line ends, Shift_JIS and Windows-1252 text, files without a byte-order mark), so they
are made here rather than edited by hand. The .form.json and .names.txt files beside them are
written by hand: they hold what the cards should show, not what a program printed.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"
LF = "\n"


def qp_every_byte(text, charset="utf-8"):
    """Quoted-printable with every byte escaped, as some phones write it."""
    return "".join("=%02X" % b for b in text.encode(charset))


def card(*lines):
    return ["BEGIN:VCARD", *lines, "END:VCARD"]


def write(name, cards, encoding, eol=CRLF, mark=b""):
    text = "".join(eol.join(c) + eol for c in cards)
    data = mark + text.encode(encoding)
    if encoding not in ("utf-8", "ascii") and not encoding.startswith("utf-16"):
        # Read without a mark, such a file must not pass for UTF-8.
        try:
            data.decode("utf-8")
            raise SystemExit("%s: the %s bytes are valid UTF-8" % (name, encoding))
        except UnicodeDecodeError:
            pass
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


# A Japanese phone, vCard 2.1: raw Shift_JIS values named by CHARSET, the reading in half-width
# kana, a note in quoted-printable Shift_JIS, and a number-only entry. The family name 佐藤
# holds the byte 0x8D, which Windows-1252 leaves unassigned; アルフォンソ ends in the byte
# 0x5C (a backslash in ASCII) right before the ";" that ends the component.
write("phone-shiftjis-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=SHIFT_JIS:佐藤;花子;;;",
         "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:ｻﾄｳ;ﾊﾅｺ;;;",
         "TEL;CELL;PREF:090-5555-0123",
         "TEL;HOME:03-5555-0144",
         "EMAIL;INTERNET:hanako.sato@example.com",
         "ADR;HOME;CHARSET=SHIFT_JIS:;;芝公園1-2-3;港区;東京都;105-0011;日本",
         "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=SHIFT_JIS:"
         + qp_every_byte("大学の友人", "shift_jis") + "=0D=0A"
         + qp_every_byte("誕生日会の幹事", "shift_jis"),
         "BDAY:19900401",
         "X-IRMC-LUID:000001"),
    card("VERSION:2.1",
         "N;CHARSET=SHIFT_JIS:ガルシア;アルフォンソ;;;",
         "SOUND;X-IRMC-N;CHARSET=SHIFT_JIS:ｶﾞﾙｼｱ;ｱﾙﾌｫﾝｿ;;;",
         "TEL;CELL:080-5555-0166",
         "X-IRMC-LUID:000002"),
    card("VERSION:2.1",
         "N;CHARSET=SHIFT_JIS:;;;;",
         "TEL;CELL:080-5555-0177",
         "X-IRMC-LUID:000003"),
], "shift_jis")

# A phone's whole address book, vCard 2.1 in ASCII: every byte of a name escaped as UTF-8
# quoted-printable, a soft line break in the note, "\;" inside an address component, and the
# entries a phone keeps without a name.
write("phone-qp-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("Müller") + ";"
         + qp_every_byte("Jörg") + ";;;",
         "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("Jörg Müller"),
         "TEL;CELL:+49 555 0101",
         "TEL;WORK:+49 555 0102",
         "EMAIL;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
         + qp_every_byte("jörg.müller@example.com"),
         "EMAIL;WORK:joerg.mueller@example.com",
         "ADR;HOME:;;Gartenweg 3\\; Hinterhaus;Musterstadt;;12345;Deutschland",
         "ORG:Example Bikes",
         "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Schl=C3=BCssel beim Nachbarn (Nr. 5).=",
         "=0D=0AKennt sich mit Fahrr=C3=A4dern aus.",
         "BDAY:1975-06-30"),
    card("VERSION:2.1",
         "N:;;;;",
         "EMAIL;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"
         + qp_every_byte("renée@example.com")),
    card("VERSION:2.1",
         "N:;;;;",
         "FN:"),
    card("VERSION:2.1",
         "N:;;;;",
         "ORG:Example Hardware;Returns Desk",
         "TEL;WORK:+49 555 0199"),
    card("VERSION:2.1",
         "N:;;;;",
         "NOTE:Gate code 4711"),
], "ascii")

# A desktop mail program's vCard 2.1 export in the ANSI code page (Windows-1252), with blanks
# typed at the end of fields; the blank before the line's CR stays.
write("desktop-ansi-21.vcf", [
    card("VERSION:2.1",
         "N;LANGUAGE=de-de:Weiß;Jürgen;K.;Dr. ",
         "FN:Dr. Jürgen K. Weiß",
         "ORG:Bäckerei Weiß & Söhne ",
         "TEL;WORK;VOICE:+49 555 0140",
         "TEL;HOME;VOICE:+49 555 0141",
         "TEL;CELL;VOICE:+49 555 0142",
         "TEL;WORK;FAX:+49 555 0143",
         "ADR;WORK;PREF:;;Hauptstraße 5;Musterstadt;Bayern;12345;Deutschland ",
         "LABEL;WORK;PREF;ENCODING=QUOTED-PRINTABLE:Hauptstra=DFe 5=0D=0A=",
         "Musterstadt, Bayern 12345=0D=0A=",
         "Deutschland",
         "ADR;HOME:;;Lindenallee 12;Musterstadt;;12345 ",
         "URL;WORK:http://www.example.com/baeckerei ",
         "EMAIL;PREF;INTERNET:j.weiss@example.com",
         "X-MS-OL-DEFAULT-POSTAL-ADDRESS:2",
         "REV:20230512T081500Z"),
], "cp1252")

# An older phone, vCard 2.1 in ISO-8859-1 named by CHARSET, with a two-part address.
write("phone-latin1-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=ISO-8859-1:Åkesson;Märta",
         "FN;CHARSET=ISO-8859-1:Märta Åkesson",
         "TEL;CELL:+46 70 555 01 70",
         "TEL;HOME:+46 8 555 01 71",
         "ADR;HOME;CHARSET=ISO-8859-1:;Lgh 1102",
         "ORG;CHARSET=ISO-8859-1:Åkessons Blommor",
         "NOTE;CHARSET=ISO-8859-1:Föredrar sms.",
         "X-IRMC-LUID:0002000000A1"),
], "iso-8859-1")

# A mail service's vCard 3.0 export, UTF-8 without a mark: escaped commas and colons, a
# grouped URL, and a contact known only by a display name that holds a comma.
write("mail-service-30.vcf", [
    card("VERSION:3.0",
         "FN:Renée Dubois-Laurent",
         "N:Dubois-Laurent;Renée;;;",
         "EMAIL;TYPE=INTERNET;TYPE=HOME:renee.dubois@example.com",
         "EMAIL;TYPE=INTERNET;TYPE=WORK:r.dubois-laurent@example.com",
         "TEL;TYPE=CELL:+33 6 55 55 01 23",
         "TEL;TYPE=WORK:+33 1 55 55 01 24",
         "ADR;TYPE=HOME:;;12\\, rue des Lilas;Lyon;;69003;France",
         "ORG:Example Conseil\\, SARL",
         "TITLE:Chargée de projet",
         "BDAY:1984-02-29",
         "item1.URL:http\\://www.example.com/renee",
         "item1.X-ABLabel:_$!<HomePage>!$_",
         "NOTE:Rencontrée au salon\\, Paris 2019.\\nPréfère les appels le matin.",
         "CATEGORIES:myContacts"),
    card("VERSION:3.0",
         "FN:Richter\\, James",
         "N:;;;;",
         "EMAIL;TYPE=INTERNET:james.richter@example.com",
         "CATEGORIES:myContacts"),
], "utf-8")

# A phone's cloud address book, vCard 3.0, UTF-8 without a mark: a Japanese name, item groups
# with labels, an escaped line break in the street, a folded note, and a company card.
write("phone-cloud-30.vcf", [
    card("VERSION:3.0",
         "PRODID:-//Example Corp.//Phone OS 16.5//EN",
         "N:安藤;優;;;",
         "FN:安藤 優",
         "X-PHONETIC-FIRST-NAME:ゆう",
         "X-PHONETIC-LAST-NAME:あんどう",
         "ORG:Example Travel;Bookings",
         "TITLE:Agent",
         "item1.EMAIL;type=INTERNET;type=pref:yu.ando@example.com",
         "item1.X-ABLabel:_$!<Other>!$_",
         "TEL;type=CELL;type=VOICE;type=pref:(555) 010-4477",
         "item2.TEL:(555) 010-4478",
         "item2.X-ABLabel:Office",
         "item3.ADR;type=HOME;type=pref:;;4 Harbour View\\nFlat 2;Seaside;CA;90210;United States",
         "item3.X-ABADR:us",
         "item4.URL;type=pref:https://www.example.com/yu",
         "item4.X-ABLabel:_$!<HomePage>!$_",
         "BDAY;value=date:1990-07-14",
         "NOTE:Prefers window seats\\, aisle on flights over 6 hours. Allergic to n",
         " uts\\; carries an auto-injector."),
    card("VERSION:3.0",
         "PRODID:-//Example Corp.//Phone OS 16.5//EN",
         "N:;;;;",
         "FN:Example Plumbing & Heating",
         "ORG:Example Plumbing & Heating;",
         "TEL;type=WORK;type=VOICE;type=pref:(555) 010-9000",
         "item1.URL;type=pref:http://plumbing.example.com",
         "item1.X-ABLabel:_$!<HomePage>!$_",
         "X-ABShowAs:COMPANY"),
], "utf-8")

# A desktop address book's vCard 3.0 export with LF line ends: type lists, web sites by type,
# a birthday with a time, escaped backslashes and "\;" inside a street. The title's trailing
# blank has no CR to stand before, so it goes.
write("desktop-lf-30.vcf", [
    card("VERSION:3.0",
         "N:Kowalski;Łukasz;Piotr;;",
         "FN:Łukasz Piotr Kowalski",
         "NICKNAME:Łukasz",
         "ORG:Example Software Sp. z o.o.;Development",
         "TITLE:Senior Developer ",
         "EMAIL;TYPE=HOME,PREF:lukasz.kowalski@example.com",
         "EMAIL;TYPE=WORK:l.kowalski@example.com",
         "TEL;TYPE=WORK,VOICE:+48 22 555 01 00",
         "TEL;TYPE=WORK,FAX:+48 22 555 01 01",
         "TEL;TYPE=CELL:+48 600 555 010",
         "ADR;TYPE=WORK:;;ul. Przykładowa 1;Warszawa;mazowieckie;00-001;Polska",
         "ADR;TYPE=HOME:;;ul. Ogrodowa 7/3\\; klatka B;Kraków",
         "URL;TYPE=WORK:https://www.example.com/team/lukasz",
         "URL;TYPE=HOME:https://lukasz.example.com",
         "BDAY:1981-11-23T00:00:00Z",
         "NOTE:Paths: C:\\\\new\\\\docs\\NBackups on Fridays."),
], "utf-8", LF)

# A desktop mail program's vCard 4.0 export, UTF-8 without a mark, in Greek.
write("desktop-greek-40.vcf", [
    card("VERSION:4.0",
         "N:Παπαδοπούλου;Ελένη;;;",
         "FN:Ελένη Παπαδοπούλου",
         "EMAIL;PREF=1:eleni.papadopoulou@example.com",
         "TEL;TYPE=work;VALUE=TEXT:+30 210 555 0100",
         "TEL;TYPE=cell;VALUE=TEXT:+30 690 555 0101",
         "TEL;TYPE=fax;VALUE=TEXT:+30 210 555 0109",
         "ADR;TYPE=work:;;Οδός Ερμού 10;Αθήνα;Αττική;105 63;Ελλάδα",
         "URL;TYPE=work;VALUE=URL:https://www.example.com/eleni",
         "BDAY;VALUE=DATE:19800517",
         "ORG:Παράδειγμα Α.Ε.",
         "TITLE:Διευθύντρια πωλήσεων",
         "NOTE:Γλώσσες: ελληνικά\\, αγγλικά\\, ιταλικά.",
         "UID:urn:uuid:4b1c2d3e-0000-4000-8000-000000000001"),
], "utf-8")

# vCard 4.0 cards without N: a person known by FN alone, with quoted parameters that hold
# ":" and a folded address line; an organisation with an empty FN.
write("contacts-no-n-40.vcf", [
    card("VERSION:4.0",
         "KIND:individual",
         "FN:Dr. Ines Ferreira",
         "EMAIL;TYPE=work:ines.ferreira@example.com",
         'TEL;VALUE=uri;TYPE="voice,work";X-LABEL="Desk: ext. 102":tel:+1-555-0100;ext=102',
         "TEL;VALUE=uri;TYPE=cell:tel:+1-555-0101",
         'ADR;TYPE=work;GEO="geo:37.386013,-122.082932";LABEL="Mail Drop: B-12, 100 Exam',
         ' ple Way":;;100 Example Way;Mountain View;CA;94043;USA',
         "BDAY:19760608T120000Z",
         "URL;TYPE=home:https://ines.example.com"),
    card("VERSION:4.0",
         "KIND:org",
         "FN:",
         "ORG:Example Widgets\\, Inc.;Sales",
         "EMAIL;TYPE=work:sales@example.com"),
], "utf-8")

# A vCard 4.0 card whose values hold ";", ":" and "=": the note ends in "==", the company has
# a department, the phone is a tel: address with an extension. Editing it must give all back.
write("notes-separators-40.vcf", [
    card("VERSION:4.0",
         "UID:urn:uuid:0b7c9f5e-0000-4000-8000-000000000002",
         "FN:Sofia Lindgren",
         "N:Lindgren;Sofia;;;",
         "ORG:Example Instruments;Field Service",
         "TEL;TYPE=work;VALUE=uri:tel:+1-555-0100;ext=102",
         "EMAIL;TYPE=work:sofia.lindgren@example.com",
         "NOTE:Call at 10:30\\; bring the calibration docs.\\nLocker: row=4C\\, seat 12\\nW",
         " i-Fi key: Zm9vYmFyMQ==",
         "REV:20240115T093000Z"),
], "utf-8")


def write_bytes(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def fold_inside(line, character, eol=CRLF):
    """The UTF-8 bytes of a line folded after the first byte of `character`, as an exporter
    that folds by bytes cuts it: line break, blank, then the character's other bytes."""
    data = line.encode("utf-8")
    at = data.index(character.encode("utf-8")) + 1
    return data[:at] + eol.encode() + b" " + data[at:]


def card_bytes(*lines, eol=CRLF):
    """A card of lines given as text or as bytes already."""
    out = b""
    for line in ["BEGIN:VCARD", *lines, "END:VCARD"]:
        out += (line if isinstance(line, bytes) else line.encode("utf-8")) + eol.encode()
    return out


# Exporters that fold by bytes, UTF-8 without a mark: a 2.1 card whose name and note are folded
# inside a character (the fold's blank is no part of it), and a 3.0 card folded inside a
# character of its name and address. The file is UTF-8 all the same.
write_bytes("fold-bytes-21.vcf",
            card_bytes("VERSION:2.1",
                       fold_inside("N;CHARSET=UTF-8:Müller;Jörg;;;", "ü"),
                       "FN;CHARSET=UTF-8:Jörg Müller",
                       "TEL;CELL:+49 555 0101",
                       fold_inside("NOTE;CHARSET=UTF-8:Bitte die Hintertür benutzen, die Klingel "
                                   "vorne geht nicht. Schlüssel beim Nachbarn.", "ü"))
            + card_bytes("VERSION:3.0",
                         fold_inside("N:Sørensen;Åse;;;", "ø"),
                         "FN:Åse Sørensen",
                         "TEL;TYPE=HOME:+45 55 55 01 02",
                         fold_inside("ADR;TYPE=HOME:;;Nørregade 7;København;;1165;Danmark", "ø")))

# The same with the UTF-8 mark, folded inside characters of a 3.0 and a 2.1 card: each
# character is read whole, never as two U+FFFD.
write_bytes("fold-bytes-mark-30.vcf",
            b"\xef\xbb\xbf"
            + card_bytes("VERSION:3.0",
                         fold_inside("N:Ğündoğdu;Çağla;;;", "ğ"),
                         "FN:Çağla Ğündoğdu",
                         fold_inside("NOTE:Toplantı perşembe günü.", "ş"))
            + card_bytes("VERSION:2.1",
                         fold_inside("N;CHARSET=UTF-8:Ødegård;Øystein;;;", "å"),
                         "TEL;WORK:+47 55 55 01 03"))

# UTF-16 as older Apple exports and Windows tools write it: big-endian with its mark, and both
# byte orders without a mark.
write("utf16be-mark-30.vcf", [
    card("VERSION:3.0",
         "N:Lefèvre;Amélie;;;",
         "FN:Amélie Lefèvre",
         "EMAIL;TYPE=INTERNET;TYPE=HOME:amelie.lefevre@example.com",
         "TEL;TYPE=CELL:+33 6 55 55 01 04",
         "X-ABUID:7A3C0000-0000-4000-8000-000000000004:ABPerson"),
], "utf-16-be", mark=b"\xfe\xff")
write("utf16le-nomark-21.vcf", [
    card("VERSION:2.1",
         "N:Dvořák;Antonín;;;",
         "TEL;HOME:+420 555 010 105",
         "NOTE:Žádné poznámky."),
], "utf-16-le")
write("utf16be-nomark-30.vcf", [
    card("VERSION:3.0",
         "N:Nakamura;Kenji;;;",
         "FN:中村 健二",
         "TEL;TYPE=WORK:+81 3 5555 0106"),
], "utf-16-be")

# 3.0 and 4.0 cards as a person reads them: e-mail types as their words without TYPE= and PREF,
# numbers given as tel: addresses, photo captions from TYPE=JPEG and ENCODING=b.
JPEG_DATA = "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwg"
write("types-photos-30.vcf", [
    card("VERSION:3.0",
         "N:Okafor;Chidi;;;",
         "FN:Chidi Okafor",
         "EMAIL;TYPE=INTERNET,PREF:chidi.okafor@example.com",
         "EMAIL;TYPE=INTERNET;TYPE=WORK:c.okafor@example.com",
         'EMAIL;TYPE="home,pref":chidi@example.net',
         "TEL;TYPE=CELL:+234 803 555 0101",
         "PHOTO;TYPE=JPEG;ENCODING=b:" + JPEG_DATA,
         "PHOTO;ENCODING=b:" + JPEG_DATA),
    card("VERSION:4.0",
         "FN:Ngozi Eze",
         "N:Eze;Ngozi;;;",
         "TEL;VALUE=uri;TYPE=cell:tel:+234-803-555-0102",
         "TEL;VALUE=uri;TYPE=work:tel:+234-1-555-0103",
         "EMAIL;PREF=1:ngozi.eze@example.com",
         "PHOTO;MEDIATYPE=image/jpeg:https://photos.example.com/ngozi.jpg?size=200&v=2"),
], "utf-8")

# Cards that used to lose bytes at import. A note that mentions "send:vCard" (no END:VCARD of
# its own: it does not start the line), a 3.0 AGENT whose inline card ends after an escaped
# "\n", and an END:VCARD indented by blanks.
write("end-marker-30.vcf", [
    card("VERSION:3.0",
         "N:Haddad;Rami;;;",
         "FN:Rami Haddad",
         "NOTE:Please send:vCard updates to the front desk.",
         "TEL;TYPE=WORK:+961 1 555 010",
         "EMAIL;TYPE=INTERNET:rami.haddad@example.com"),
    card("VERSION:3.0",
         "N:Friday;Joan;;;",
         "FN:Joan Friday",
         "AGENT:BEGIN:VCARD\\nFN:Joe Friday\\nTEL:+1-919-555-7878\\nEND:VCARD\\n",
         "TEL;TYPE=CELL:+1-919-555-7877",
         "EMAIL;TYPE=INTERNET:joan.friday@example.com"),
    ["BEGIN:VCARD", "VERSION:2.1", "N:Marsh;Tilda;;;", "TEL;HOME:+44 20 5555 0107",
     "   END:VCARD"],
], "ascii")

# An old Mac export: CR ends every line, no LF anywhere; Mac Roman bytes never appear (ASCII).
write("mac-cr-21.vcf", [
    card("VERSION:2.1",
         "N:Whitfield;Harriet;;;",
         "FN:Harriet Whitfield",
         "TEL;WORK;VOICE:+1 415 555 0108",
         "EMAIL;INTERNET:harriet@example.com",
         "ADR;HOME:;;12 Orchard Lane;Sonoma;CA;95476;USA",
         "NOTE:Met at the library",
         "fundraiser, 1998."),
    card("VERSION:2.1",
         "N:Pike;Oscar;;;",
         "TEL;CELL:+1 415 555 0109"),
], "ascii", "\r")

# A phone's 2.1 card whose N value starts with a second ":": listed under its number, never
# dropped; a photo given as an address with "=" in it; a note whose second line has no blank
# before it (a continuation line) and a third line with a ":" (a property line of its own).
write("odd-lines-21.vcf", [
    card("VERSION:2.1",
         "N::Doe;Jane",
         "TEL;CELL:+1 555 0110"),
    card("VERSION:2.1",
         "N:Lindqvist;Maja;;;",
         "PHOTO;VALUE=URL:https://photos.example.com/a.jpg?size=2",
         "NOTE:Prefers e-mail",
         "over calls",
         "Mobile: only for urgent matters",
         "TEL;CELL:+46 70 555 01 11"),
], "ascii")

# A 2.1 card in a UTF-8 file whose lines name other character sets: the bytes are UTF-8 text
# all the same (as other readers take them), never read again as if the file were ANSI.
write("charset-label-utf8-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=ISO-8859-15:Fournier;Céline;;;",
         "ADR;HOME;CHARSET=ISO-8859-1:;;Große Straße 1;Köln;;50667;Deutschland",
         "NOTE;CHARSET=ISO-8859-15:Café € 5 am Bahnhof",
         "TEL;CELL:+49 555 0112"),
], "utf-8")

# vCard 2.1 in Windows-1252 whose lines name their character sets: a Windows-1252 address, a
# Shift_JIS name and label among Windows-1252 bytes, and a set no program knows. Saved as
# UTF-8, every raw value must be in the set its line then names.
write("desktop-charsets-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=WINDOWS-1252:Bjorklund;Åsa;;;",
         "FN;CHARSET=WINDOWS-1252:Åsa Bjorklund",
         "ADR;HOME;CHARSET=WINDOWS-1252:;;Stora Badhusgatan 14;Göteborg;;411 21;Sverige",
         "TEL;CELL:+46-70-555-0142"),
], "cp1252")
with open(os.path.join(HERE, "desktop-charsets-21.vcf"), "ab") as f:
    f.write(CRLF.join([
        "BEGIN:VCARD",
        "VERSION:2.1",
        "N;CHARSET=SHIFT_JIS:",
    ]).encode("ascii") + "山田;太郎;;;".encode("shift_jis") + CRLF.encode("ascii")
        + "LABEL;HOME;CHARSET=SHIFT_JIS:".encode("ascii") + "東京都港区".encode("shift_jis")
        + CRLF.encode("ascii")
        + "X-NOTE-OLD;CHARSET=X-UNKNOWN-SET:caf".encode("ascii") + b"\xe9" + CRLF.encode("ascii")
        + "TEL;HOME:03-5555-0100".encode("ascii") + CRLF.encode("ascii")
        + b"END:VCARD" + CRLF.encode("ascii"))

# The same kind of lines in a UTF-8 file: saved as ANSI, a value that Windows-1252 holds is
# relabelled, one that it lacks goes as quoted-printable UTF-8.
write("mail-charsets-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=UTF-8:Kovács;Zoë;;;",
         "ADR;HOME;CHARSET=UTF-8:;;Váci út 5;Budapest;;1052;Magyarország",
         "LABEL;HOME;CHARSET=ISO-8859-1:Váci út 5",
         "TITLE;CHARSET=UTF-8:Őrnagy",
         "TEL;CELL:+36 1 555 0101"),
], "utf-8")

# Cards whose every box holds text outside ASCII, some of it outside Windows-1252: edited, they
# are written as quoted-printable UTF-8 and read back the same in any file.
write("edited-accents-21.vcf", [
    card("VERSION:2.1",
         "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("Łukasiewicz") + ";"
         + qp_every_byte("Zoë") + ";É;" + qp_every_byte("Dr. ès"),
         "ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("Café Ünter;Küche"),
         "TEL;CELL;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("+48 555 – 0101"),
         "EMAIL;INTERNET;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("zoë@example.com"),
         "URL;WORK;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("https://café.example/ü"),
         "ADR;WORK;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;" + qp_every_byte("Piętro 2") + ";"
         + qp_every_byte("Ulica Świętego 4") + ";" + qp_every_byte("Łódź") + ";;90-001;"
         + qp_every_byte("Polska"),
         "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + qp_every_byte("Zażółć gęślą jaźń")
         + "=0D=0A" + qp_every_byte("東京 = 1€"),
         "X-PHONETIC-LAST-NAME;CHARSET=UTF-8:Wukaszewitsch",
         "BDAY:19800305"),
    card("VERSION:2.1",
         "N:Ashdown;Felix;;;",
         "EMAIL;INTERNET:felix@example.com",
         "EMAIL;WORK:félix@example.com",
         "TEL;HOME;VOICE:555 0100"),
], "utf-8")

# A photo given by its address, longer than a photo line: written back whole, never folded.
write("photo-uri-21.vcf", [
    card("VERSION:2.1",
         "N:Haddad;Noor;;;",
         "PHOTO;VALUE=URL;TYPE=JPEG:https://photos.example.com/people/noor-haddad/"
         "0123456789abcdef0123456789abcdef/portrait-large.jpg",
         "TEL;CELL:555 0177"),
], "utf-8")

# An older desktop address book: quoted-printable in its code page, with no CHARSET to say so,
# beside a company escaped as UTF-8 the way some phones write it.
write("desktop-qp-ansi-21.vcf", [
    card("VERSION:2.1",
         "N;ENCODING=QUOTED-PRINTABLE:Gro=DF;J=F6rg;;;",
         "FN;ENCODING=QUOTED-PRINTABLE:J=F6rg Gro=DF",
         "ORG;ENCODING=QUOTED-PRINTABLE:M=C3=BCller & S=C3=B6hne",
         "TITLE:Geschäftsführer",
         "TEL;WORK;VOICE:+49 555 0150",
         "ADR;WORK;ENCODING=QUOTED-PRINTABLE:;;Hauptstra=DFe 7;K=F6ln;;50667;Deutschland",
         "NOTE;ENCODING=QUOTED-PRINTABLE:Gr=FC=DFe an die Familie.=0D=0AAnrufen ab 9 Uhr.",
         "EMAIL;PREF;INTERNET:joerg.gross@example.com",
         "REV:20230512T081500Z"),
], "cp1252")
