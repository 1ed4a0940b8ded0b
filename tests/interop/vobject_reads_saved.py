#!/usr/bin/env python3
"""Every golden card, rebuilt from its form and saved both as ANSI and as UTF-8, read by
python's vobject (the Debian package python3-vobject): each value the form shows must read the
same. Usage: vobject_reads_saved.py PENNACLE_CLI CARDS_FOLDER
"""
import codecs
import glob
import json
import os
import re
import subprocess
import sys
import tempfile

import vobject

# The five bytes that Windows-1252 leaves unassigned stand for themselves, as in our ANSI.
codecs.register_error("unassigned", lambda e: (chr(e.object[e.start]), e.start + 1))

NOW = "2021-08-31T12:00:01"
PHONES = {  # type words of a TEL line, sorted -> the box it comes from
    ("HOME", "VOICE"): 18, ("FAX", "HOME"): 19, ("VOICE", "WORK"): 20, ("FAX", "WORK"): 21,
    ("CELL",): 22, ("PAGER",): 23,
}
# Values vobject reads with the text rules of vCard 3.0 in every card: "\n", "\\", "\," and
# "\;" are escapes, and a "," ends the value (it keeps what stands before it).
TEXT_RULES = ("NOTE", "TEL", "URL")


def as_vobject_text(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            nxt = text[i + 1]
            out.append("\n" if nxt in "nN" else nxt if nxt in ",;\\" else c + nxt)
            i += 2
            continue
        if c == ",":
            break
        out.append(c)
        i += 1
    return "".join(out)


def run(cli, *args):
    done = subprocess.run([cli, *args], capture_output=True)
    if done.returncode not in (0, 1):
        raise SystemExit("%s %s: %s" % (cli, " ".join(args), done.stderr.decode()))
    return done.stdout


def plain(text):
    """One line, blanks as the writer leaves them: runs of white space as one blank."""
    return re.sub(r"\s+", " ", text).strip()


def words(line):
    return tuple(sorted(w.upper() for w in line.singletonparams
                        if w.upper() not in ("PREF", "INTERNET")))


def parse(text, kept_lines, notes):
    try:
        return list(vobject.readComponents(text, validate=True, allowQP=True))
    except (UnicodeDecodeError, LookupError):
        # vobject takes quoted-printable without CHARSET for UTF-8, and knows no character set
        # beyond Python's, and gives up on the whole card; a line the card had and the form
        # keeps is not ours to judge.
        for line in kept_lines:
            text = text.replace(line + "\r\n", "")
        notes.append("a kept line vobject cannot decode left out")
        return list(vobject.readComponents(text, validate=True, allowQP=True))


def read_back(path, encoding, kept_lines, notes):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8-sig" if encoding == "utf8" else "cp1252", "unassigned")
    cards = parse(text, kept_lines, notes)
    assert len(cards) == 1, "%d cards" % len(cards)
    last = {}  # the last line of each kind: the form's own lines come after the kept ones
    emails = []
    for line in cards[0].getChildren():
        key = (line.name, words(line))
        last[key] = line.value
        if line.name == "EMAIL":
            emails.append(line.value)
    return last, emails


def expected_and_read(form, last, emails):
    boxes = form["txtTextbox"]
    pairs = []
    name = last.get(("N", ()))
    pairs += [("N family", boxes[0], name.family), ("N given", boxes[1], name.given),
              ("N additional", boxes[2], name.additional), ("N prefix", boxes[4], name.prefix)]
    if boxes[3]:
        org = last.get(("ORG", ()), [])
        pairs.append(("ORG", boxes[3], ";".join(",".join(u) if isinstance(u, list) else u
                                                 for u in org)))
    for kind, box in PHONES.items():
        if boxes[box]:
            pairs.append(("TEL " + "+".join(kind), boxes[box], last.get(("TEL", kind), "")))
    if boxes[5]:
        shown = form["Combo1"] if len(form["Combo1"]) > 1 else [boxes[5]]
        pairs.append(("EMAIL", " | ".join(shown), " | ".join(emails)))
    for box, kind in ((6, "HOME"), (7, "WORK")):
        if boxes[box]:
            pairs.append(("URL " + kind, boxes[box], last.get(("URL", (kind,)), "")))
    for first, kind in ((8, "HOME"), (13, "WORK")):
        if any(boxes[first:first + 5]):
            adr = last.get(("ADR", (kind,)))
            read = [adr.street, adr.city, adr.region, adr.code, adr.country] if adr else [""] * 5
            for part, (shown, got) in zip(("street", "city", "region", "zip", "country"),
                                          zip(boxes[first:first + 5], read)):
                pairs.append(("ADR %s %s" % (kind, part), shown, got))
    if boxes[24]:
        pairs.append(("NOTE", boxes[24], last.get(("NOTE", ()), "")))
    if form["dtpBirthday"] != "1900-01-01":
        pairs.append(("BDAY", form["dtpBirthday"].replace("-", ""), last.get(("BDAY", ()), "")))
    return pairs


def comparable(label, text):
    if isinstance(text, list):  # vobject splits a component at its commas
        text = ",".join(text)
    text = text.replace("\r\n", "\n")
    if label.startswith("ORG"):
        text = text.rstrip(";")  # vobject drops empty components at the end
    if label.startswith("NOTE"):
        return "\n".join(plain(line) for line in text.strip().split("\n"))
    if label.startswith(("N ", "ADR ")):
        text = text.replace(":", " ")  # the writer's blank for a colon in a component
    return plain(text)


def check_contact(cli, card, index, work, notes):
    form_json = run(cli, "form", card, "--index", str(index))
    form = json.loads(form_json)
    form_path = os.path.join(work, "form.json")
    with open(form_path, "wb") as f:
        f.write(form_json)
    rebuilt = os.path.join(work, "rebuilt.vcf")
    with open(rebuilt, "wb") as f:
        f.write(run(cli, "build", form_path, "--now", NOW))
    faults = []
    for encoding in ("ansi", "utf8"):
        saved = os.path.join(work, "saved-%s.vcf" % encoding)
        run(cli, "save", rebuilt, "--one", saved, *(["--utf8"] if encoding == "utf8" else []))
        last, emails = read_back(saved, encoding, form["otherLines"], notes)
        for label, shown, got in expected_and_read(form, last, emails):
            if label.startswith(TEXT_RULES):
                shown = as_vobject_text(shown)
            if comparable(label, shown) != comparable(label, got):
                faults.append("%s #%d %s %s: form %r, vobject %r"
                              % (os.path.basename(card), index, encoding, label, shown, got))
    return faults


def main():
    cli, folder = sys.argv[1], sys.argv[2]
    faults = []
    checked = 0
    with tempfile.TemporaryDirectory() as work:
        for card in sorted(glob.glob(os.path.join(folder, "*.vcf"))):
            names = run(cli, "names", card).decode("utf-8").splitlines()
            for index in range(1, len(names) + 1):
                notes = []
                faults += check_contact(cli, card, index, work, notes)
                for note in sorted(set(notes)):
                    print("%s #%d: %s" % (os.path.basename(card), index, note))
                checked += 1
    print("%d contacts checked, %d values differ" % (checked, len(faults)))
    for fault in faults:
        print(fault)
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
