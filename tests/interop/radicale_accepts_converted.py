#!/usr/bin/env python3
"""Every golden card and sample, saved as vCard 3.0 and as 4.0 (one file per contact), is read
by python's vobject with validation, and accepted by a Radicale server (the Debian package
python3-radicale) on 127.0.0.1: each PUT into an address book answers 201 Created, and reading
the card back gives the values we wrote. Usage:
    radicale_accepts_converted.py PENNACLE_CLI CARDS_FOLDER SAMPLES_FOLDER
"""
import glob
import http.client
import os
import socket
import subprocess
import sys
import tempfile
import time
import uuid

import vobject

USER = "/user/"
MKCOL = """<?xml version="1.0" encoding="utf-8"?>
<mkcol xmlns="DAV:" xmlns:CR="urn:ietf:params:xml:ns:carddav">
  <set><prop><resourcetype><collection/><CR:addressbook/></resourcetype></prop></set>
</mkcol>"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_server(folder):
    port = free_port()
    config = os.path.join(folder, "config")
    with open(config, "w") as f:
        f.write("[server]\nhosts = 127.0.0.1:%d\n[auth]\ntype = none\n[rights]\ntype = authenticated\n"
                "[storage]\nfilesystem_folder = %s\n[logging]\nlevel = warning\n"
                % (port, os.path.join(folder, "storage")))
    server = subprocess.Popen([sys.executable, "-m", "radicale", "--config", config],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.2).close()
            return server, port
        except OSError:
            if server.poll() is not None:
                raise SystemExit("radicale did not start: " + server.stderr.read().decode())
            time.sleep(0.1)
    server.kill()
    raise SystemExit("radicale did not listen on port %d" % port)


def request(port, method, path, body=None, headers=None):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
    conn.request(method, path, body=body, headers=headers or {})
    response = conn.getresponse()
    data = response.read()
    conn.close()
    return response.status, data


def values(card):
    """Each property (group and name) with its values, in order, but what a server adds."""
    out = {}
    for child in card.getChildren():
        if child.name in ("VERSION", "UID", "PRODID"):
            continue
        key = ((child.group or "") + "." + child.name).upper()
        out.setdefault(key, []).append(str(child.value))
    return out


def converted_files(cli, sources, folder, version):
    files = []
    for n, source in enumerate(sources):
        target = os.path.join(folder, "v%s-%d" % (version, n))
        done = subprocess.run([cli, "save", source, "--each", target, "--vcard", version],
                              capture_output=True)
        if done.returncode != 0:
            raise SystemExit("save %s: %s" % (source, done.stderr.decode()))
        files += [(source, f) for f in sorted(glob.glob(os.path.join(target, "*.vcf")))]
    return files


def check(port, book, source, path, failures):
    data = open(path, "rb").read()
    text = data.decode("utf-8")
    try:
        written = vobject.readOne(text, validate=True)
    except Exception as e:  # vobject raises several kinds
        failures.append("%s (%s): vobject: %s" % (source, path, e))
        return
    href = book + uuid.uuid4().hex + ".vcf"
    status, body = request(port, "PUT", href, data, {"Content-Type": "text/vcard; charset=utf-8"})
    if status != 201:
        failures.append("%s (%s): PUT answered %d %s" % (source, path, status, body[:200]))
        return
    status, body = request(port, "GET", href)
    stored = vobject.readOne(body.decode("utf-8"))
    if status != 200 or values(stored) != values(written):
        failures.append("%s (%s): read back %d\n  %s\n  %s"
                        % (source, path, status, values(written), values(stored)))


def main():
    cli, cards, samples = sys.argv[1:4]
    sources = sorted(glob.glob(os.path.join(cards, "*.vcf")))
    sources += sorted(os.path.join(samples, f) for f in os.listdir(samples))
    failures = []
    count = 0
    with tempfile.TemporaryDirectory() as folder:
        server, port = start_server(folder)
        try:
            request(port, "MKCOL", USER)
            for version in ("3.0", "4.0"):
                # A book per version: a card keeps its UID in both.
                book = USER + "v" + version.replace(".", "") + "/"
                status, body = request(port, "MKCOL", book, MKCOL,
                                       {"Content-Type": "application/xml"})
                if status != 201:
                    raise SystemExit("MKCOL answered %d %s" % (status, body[:200]))
                for source, path in converted_files(cli, sources, folder, version):
                    check(port, book, source, path, failures)
                    count += 1
        finally:
            server.terminate()
            server.wait(timeout=10)
    for failure in failures:
        print(failure)
    print("%d cards, %d failures" % (count, len(failures)))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
