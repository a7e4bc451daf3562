#!/usr/bin/env python3
"""Makes an EPUB 3 book of an HTML book, for benchmarks and screenshots.

usage: make-epub.py BOOK.htm OUT.epub [TITLE]

The HTML is the book's one content document, unchanged except that each
heading h1 to h3 gets an id; the navigation document's table of contents
links to every heading. Only Python's own zipfile and html.parser are used.
"""
import html
import html.parser
import sys
import zipfile


class Headings(html.parser.HTMLParser):
    """Finds each heading's start tag (line, column) and text."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.found = []  # (line, column, end of the start tag, text)
        self._open = None

    def handle_starttag(self, tag, attrs):
        if tag in ("h1", "h2", "h3") and self._open is None:
            line, column = self.getpos()
            self._open = [line, column, len(self.get_starttag_text()), ""]

    def handle_endtag(self, tag):
        if tag in ("h1", "h2", "h3") and self._open is not None:
            self.found.append(tuple(self._open))
            self._open = None

    def handle_data(self, data):
        if self._open is not None:
            self._open[3] += data


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    raw = open(sys.argv[1], "rb").read()
    text = raw.decode("utf-8-sig", errors="replace")
    parser = Headings()
    parser.feed(text)
    lines = text.split("\n")
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line) + 1)
    # Ids go in from the end, so that earlier offsets stay.
    links = []
    marked = text
    for n, (line, column, length, label) in reversed(list(enumerate(parser.found))):
        at = offsets[line - 1] + column + length - 1  # before the tag's '>'
        if marked[at - 1] == "/":
            at -= 1
        marked = marked[:at] + ' id="heading-%d"' % n + marked[at:]
        links.append((n, " ".join(label.split())))
    links.reverse()
    title = sys.argv[3] if len(sys.argv) == 4 else sys.argv[1].rsplit("/", 1)[-1]
    nav = "".join('<li><a href="book.html#heading-%d">%s</a></li>' % (n, html.escape(label))
                  for n, label in links if label)
    with zipfile.ZipFile(sys.argv[2], "w") as book:
        book.writestr("mimetype", "application/epub+zip", compress_type=zipfile.ZIP_STORED)
        deflated = zipfile.ZIP_DEFLATED
        book.writestr("META-INF/container.xml",
                      '<?xml version="1.0"?><container version="1.0" '
                      'xmlns="urn:oasis:names:tc:opendocument:xmlns:container"><rootfiles>'
                      '<rootfile full-path="OEBPS/content.opf" media-type="application/oebps-package+xml"/>'
                      "</rootfiles></container>", compress_type=deflated)
        book.writestr("OEBPS/content.opf",
                      '<?xml version="1.0" encoding="utf-8"?><package xmlns="http://www.idpf.org/2007/opf" '
                      'version="3.0"><metadata xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>%s'
                      "</dc:title></metadata><manifest>"
                      '<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>'
                      '<item id="book" href="book.html" media-type="text/html"/></manifest>'
                      '<spine><itemref idref="book"/></spine></package>' % html.escape(title),
                      compress_type=deflated)
        book.writestr("OEBPS/nav.xhtml",
                      '<?xml version="1.0" encoding="utf-8"?><html xmlns="http://www.w3.org/1999/xhtml" '
                      'xmlns:epub="http://www.idpf.org/2007/ops"><head><title>Contents</title></head><body>'
                      '<nav epub:type="toc"><ol>%s</ol></nav></body></html>' % nav, compress_type=deflated)
        book.writestr("OEBPS/book.html", marked.encode("utf-8"), compress_type=deflated)


if __name__ == "__main__":
    main()
