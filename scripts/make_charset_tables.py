#!/usr/bin/env python3
"""Writes src/core/HandheldCharsetTables.cpp: the tables behind the conversion
of Unicode text to the hand-held's character set (Windows-1252).

    scripts/make_charset_tables.py [OUTPUT]

The tables depend on this Python's Unicode database and HTML entity list; the
output names the versions it was made from. Rerun it and commit the result
when either should change; the build never runs it. Needs clang-format.

Tables:
- plain forms: every character Windows-1252 lacks that has an obvious plain
  form (letters with marks, ligatures, compatibility forms, other spaces,
  dashes and quotes), or that is dropped (combining marks, invisible format
  characters), as ranges of code points sharing one replacement. A plain form
  is never longer in bytes than the character's UTF-8 form, so converting
  UTF-8 never makes the text longer.
- compositions: a letter followed by a combining mark that together make a
  Windows-1252 letter ('e' U+0301 -> 0xE9).
- named references: HTML's named character references (those ending in ';'),
  sorted by name, with their one or two code points.
"""

import html.entities
import re
import subprocess
import sys
import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = ROOT / "src" / "core" / "HandheldCharsetTables.cpp"


def windows1252():
    """Character -> byte. The five bytes the code page leaves unassigned stand
    for the C1 controls of the same value, as the system's own tables have it."""
    table = {}
    for b in range(256):
        try:
            table[bytes([b]).decode("cp1252")] = b
        except UnicodeDecodeError:
            table[chr(b)] = b
    return table


CP1252 = windows1252()

# Plain forms no decomposition gives.
EXTRA = {
    0x2044: "/",  # fraction slash
    0x2215: "/",  # division slash
    0x2217: "*",  # asterisk operator
    0x2236: ":",  # ratio
    0x2043: "-",  # hyphen bullet
    0x2212: "-",  # minus sign
    0x02BB: "'",  # turned comma
    0x02BC: "'",  # apostrophe
    0x02BD: "'",  # reversed comma
    0x055A: "'",  # Armenian apostrophe
    0x2032: "'",  # prime
    0x2035: "'",  # reversed prime
    0x2033: '"',  # double prime
    0x2036: '"',  # reversed double prime
    0x02B9: "'",  # modifier prime
    0x02BA: '"',  # modifier double prime
}

LINE_BREAKS = {0x0085, 0x2028, 0x2029}
LETTER_WITH = re.compile(r"^LATIN (SMALL|CAPITAL) LETTER ([A-Z]) WITH ")
DOTLESS = re.compile(r"^LATIN (SMALL|CAPITAL) LETTER DOTLESS ([A-Z])$")
LIGATURE = re.compile(r"^LATIN (SMALL|CAPITAL) (?:LIGATURE ([A-Z]{2,3})|LETTER ([A-Z]{2,3}) DIGRAPH)$")


def exact(s):
    return all(c in CP1252 for c in s)


def simple(c):
    """Spaces, line breaks, dashes and quotes."""
    cp = ord(c)
    cat = unicodedata.category(c)
    name = unicodedata.name(c, "")
    if cp in EXTRA:
        return EXTRA[cp]
    if cp in LINE_BREAKS:
        return "\n"
    if cat == "Zs":
        return " "
    if cat == "Pd":
        return "-"
    if "QUOTATION MARK" in name:
        return '"' if "DOUBLE" in name else "'"
    return None


def by_name(c):
    name = unicodedata.name(c, "")
    m = LETTER_WITH.match(name) or DOTLESS.match(name)
    if m:
        return m.group(2).lower() if m.group(1) == "SMALL" else m.group(2)
    m = LIGATURE.match(name)
    if m:
        letters = m.group(2) or m.group(3)
        return letters.lower() if m.group(1) == "SMALL" else letters
    return None


def without_marks(s):
    return "".join(d for d in unicodedata.normalize("NFD", s) if not unicodedata.combining(d))


def form(c, depth=0):
    """The Windows-1252 text for character c, '' to drop it, None for '?'."""
    if c in CP1252:
        return c
    cat = unicodedata.category(c)
    if cat in ("Mn", "Me", "Cf"):
        return ""

    def visible(s):
        # A spacing accent must not turn into a bare space.
        return s.strip() != "" or cat == "Zs"

    k = unicodedata.normalize("NFKC", c)
    if k != c and exact(k) and visible(k):
        return k
    s = simple(c)
    if s is not None:
        return s
    d = without_marks(c)
    if d != c and exact(d) and visible(d):
        return d
    if k != c and depth < 4:
        parts = [form(x, depth + 1) for x in k]
        if None not in parts and visible("".join(parts)):
            return "".join(parts)
    return by_name(c)


def encoded(s):
    return bytes(CP1252[c] for c in s)


def plain_bytes(c):
    """What the converter writes for c, which Windows-1252 lacks: b'' to drop
    it, None for '?'."""
    f = form(c)
    if f is None:
        return None
    b = encoded(f)
    return b if len(b) <= min(4, len(c.encode("utf-8"))) else None


def plain_forms():
    """(first, last, bytes) ranges, sorted."""
    ranges = []
    for cp in range(0x80, 0x110000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        c = chr(cp)
        if c in CP1252 or unicodedata.category(c) == "Cn":
            continue
        b = plain_bytes(c)
        if b is None:
            continue
        if ranges and ranges[-1][1] == cp - 1 and ranges[-1][2] == b:
            ranges[-1][1] = cp
        else:
            ranges.append([cp, cp, b])
    return ranges


def compositions():
    """(mark, base byte, composed byte), sorted by mark, then base."""
    found = []
    for c, b in CP1252.items():
        d = unicodedata.normalize("NFD", c)
        if len(d) == 2 and d[0] in CP1252 and 0x300 <= ord(d[1]) <= 0x36F:
            found.append((ord(d[1]), CP1252[d[0]], b))
    return sorted(found)


def named_references():
    refs = []
    for key, value in html.entities.html5.items():
        if not key.endswith(";"):
            continue
        name = key[:-1]
        assert 1 <= len(value) <= 2, key
        # Decoding in place needs the decoded bytes to fit where "&name;" was.
        written = sum(1 if c in CP1252 or plain_bytes(c) is None else len(plain_bytes(c)) for c in value)
        assert written <= len(key) + 1, key
        refs.append((name.encode("ascii"), [ord(c) for c in value] + [0] * (2 - len(value))))
    return sorted(refs)


def c_bytes(b):
    return "{" + ", ".join("0x%02X" % x for x in b) + "}"


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_OUTPUT
    forms = plain_forms()
    comps = compositions()
    refs = named_references()
    out = []
    w = out.append
    w("// Generated by scripts/make_charset_tables.py from Unicode %s and Python %d.%d's HTML entity list;"
      % (unicodedata.unidata_version, sys.version_info[0], sys.version_info[1]))
    w("// do not edit.")
    w('#include "HandheldCharsetTables.h"')
    w("")
    w("namespace folivo::charset_tables {")
    w("namespace {")
    w("")
    w("constexpr PlainForm kPlainFormData[] = {")
    for first, last, b in forms:
        w("    {0x%X, 0x%X, %s}," % (first, last, c_bytes(b)))
    w("};")
    w("")
    w("constexpr Composition kCompositionData[] = {")
    for mark, base, composed in comps:
        w("    {0x%X, 0x%02X, 0x%02X}," % (mark, base, composed))
    w("};")
    w("")
    offsets = []
    blob = b""
    for name, _ in refs:
        offsets.append(len(blob))
        blob += name
    assert len(blob) < 0x10000 and max(len(n) for n, _ in refs) < 0x100
    w("constexpr char kReferenceNameData[] =")
    for i in range(0, len(blob), 100):
        w('    "%s"' % blob[i : i + 100].decode("ascii"))
    w("    ;")
    w("")
    w("constexpr NamedReference kNamedReferenceData[] = {")
    for (name, cps), offset in zip(refs, offsets):
        w("    {%d, %d, {0x%X, 0x%X}}," % (offset, len(name), cps[0], cps[1]))
    w("};")
    w("")
    w("}  // namespace")
    w("")
    w("constinit const std::span<const PlainForm> kPlainForms{kPlainFormData};")
    w("constinit const std::span<const Composition> kCompositions{kCompositionData};")
    w("constinit const std::string_view kReferenceNames{kReferenceNameData, sizeof kReferenceNameData - 1};")
    w("constinit const std::span<const NamedReference> kNamedReferences{kNamedReferenceData};")
    w("")
    w("}  // namespace folivo::charset_tables")
    output.write_text("\n".join(out) + "\n")
    # In the house style (.clang-format), which the test command checks.
    # Named, so that an output outside the tree is formatted the same way.
    subprocess.run(["clang-format", f"--style=file:{ROOT / '.clang-format'}", "-i", str(output)], check=True)
    print("%s: %d plain-form ranges, %d compositions, %d named references"
          % (output, len(forms), len(comps), len(refs)))


if __name__ == "__main__":
    main()
