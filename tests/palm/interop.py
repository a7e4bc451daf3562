#!/usr/bin/env python3
"""Checks our databases with decoders that share no code with ours: PalmDoc
through `txt2pdbdoc -d` (which appends the bookmark records to the text, so
only the text part is compared), zTXT through Python's zlib, fed one record at
a time, and per record with a fresh raw inflater as jumping readers do.
usage: interop.py <palm_write_tool> <scratch folder> [corpus folder]; 77 = skipped."""

import os
import random
import shutil
import struct
import subprocess
import sys
import zlib

tool, scratch = sys.argv[1], sys.argv[2]
corpus = sys.argv[3] if len(sys.argv) > 3 else ""
os.makedirs(scratch, exist_ok=True)
failures = []


def records(path):
    data = open(path, "rb").read()
    count = struct.unpack(">H", data[76:78])[0]
    offsets = [struct.unpack(">I", data[78 + 8 * i:82 + 8 * i])[0] for i in range(count)] + [len(data)]
    return [data[offsets[i]:offsets[i + 1]] for i in range(count)]


def write(kind, option, text_path, out, marks, block):
    code = subprocess.run([tool, kind, str(option), text_path, out, marks, str(block)]).returncode
    # 1 and 2 are written databases with a bookmark warning.
    if code not in (0, 1, 2):
        failures.append(f"{kind} {option} {text_path}: writer returned {code}")
    return code in (0, 1, 2)


def check_palmdoc(name, text, text_path, marks):
    for compress in (1, 0):
        out = os.path.join(scratch, "doc.pdb")
        decoded = os.path.join(scratch, "doc.txt")
        if not write("palmdoc", compress, text_path, out, marks, 4096):
            continue
        subprocess.run(["txt2pdbdoc", "-d", out, decoded], check=True, stdout=subprocess.DEVNULL)
        got = open(decoded, "rb").read()
        if got[:len(text)] != text:
            failures.append(f"{name}: txt2pdbdoc decodes different text (compress {compress})")
        rec0 = records(out)[0]
        if struct.unpack(">I", rec0[4:8])[0] != len(text):
            failures.append(f"{name}: record 0 text length")


def check_ztxt(name, text, text_path, marks):
    expected = text.replace(b"\r\n", b"\n").replace(b"\r", b"\n")
    for mode in (1, 2):
        out = os.path.join(scratch, "z.pdb")
        if not write("ztxt", mode, text_path, out, marks, 8192):
            continue
        recs = records(out)
        rec0 = recs[0]
        count, size, block = struct.unpack(">HIH", rec0[2:10])
        stored = recs[1:1 + count]
        crc = 0
        for r in stored:
            crc = zlib.crc32(r, crc)
        if crc != struct.unpack(">I", rec0[20:24])[0]:
            failures.append(f"{name}: zTXT CRC-32 (mode {mode})")
        inflater = zlib.decompressobj()
        got = b"".join(inflater.decompress(r) for r in stored)
        if got != expected or size != len(expected):
            failures.append(f"{name}: zlib decodes different text (mode {mode})")
        if mode == 1:
            for i, r in enumerate(stored):
                part = zlib.decompressobj(-15).decompress(r[2:] if i == 0 else r)
                if part != expected[i * block:(i + 1) * block]:
                    failures.append(f"{name}: zTXT record {i + 1} does not decode on its own")
                    break


if shutil.which("txt2pdbdoc") is None:
    print("txt2pdbdoc is not installed")
    sys.exit(77)

rng = random.Random(1)
samples = {
    "empty-ish": b"x",
    "binary": bytes(rng.randrange(256) for _ in range(30000)),
    "record multiple": (b"Chapter one.\r\n" * 2000)[:8192 * 2],
}
if corpus:
    # Those of these books the corpus holds: the small ones kept with the
    # tests, and from a larger collection two more.
    for book in ("alice-11-0.txt", "verwandlung-22367-8.txt", "yellow-wallpaper-1952-h.htm",
                 "alice-11.txt", "pride-and-prejudice-1342-h.htm"):
        path = os.path.join(corpus, book)
        if os.path.exists(path):
            samples[book] = open(path, "rb").read()
    if len(samples) == 3:
        failures.append(f"none of the books is in {corpus}")

marks = os.path.join(scratch, "marks.txt")
with open(marks, "wb") as f:
    f.write(b"0 Start\r\n5 Five\r\n")
for name, text in samples.items():
    text_path = os.path.join(scratch, "text.txt")
    with open(text_path, "wb") as f:
        f.write(text)
    check_palmdoc(name, text, text_path, marks)
    check_ztxt(name, text, text_path, marks)

for failure in failures:
    print("FAIL:", failure)
print(f"{len(samples)} texts checked, {len(failures)} failures")
sys.exit(1 if failures else 0)
