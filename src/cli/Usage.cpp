#include "Usage.h"

#include "Commands.h"

#include <core/NameCharacters.h>
#include <core/PrintableText.h>

#include <cstdio>

namespace folivo::cli {

namespace {

const char kIntroduction[] = R"(Usage: folivo COMMAND [OPTIONS] [ARGUMENTS]

Turns plain-text, HTML and EPUB documents and existing Palm e-books into Palm
e-books (PalmDoc or zTXT .pdb databases), shows, extracts and checks such
databases, edits their bookmarks, and keeps the stored defaults.
'folivo COMMAND --help' shows the part of this text about one command.
)";

const char kConvertHelp[] = R"(
folivo convert [OPTIONS] FILE...
  Converts each FILE as the desktop program's direct conversion does, with the
  stored defaults unless OPTIONS override them. A FILE '-' is standard input;
  it must be the only FILE, and -o names the database. A FILE that is a
  PalmDoc or zTXT database (.pdb, .prc) gives its text, its name as the title
  and its bookmarks, each kept at the start of its line.

  --format palmdoc|ztxt       Database format, in any case (default palmdoc).
  --block-size KB             Record size in KB, 1 to 31 (stored default:
                              PalmDocBlock 4 or zTxtBlock 8). Some PalmDoc
                              readers accept only 4 KB: more gives a warning.
  --no-compress               PalmDoc: store the text uncompressed. zTXT: use
                              entire-document compression, which current
                              readers reject (a warning says so).
  --remove-cr                 Drop every CR (0x0D) byte.
  --remove-lf                 Drop every LF (0x0A) byte.
  --cr-to-lf                  Write each CR as LF.
  --lf-to-cr                  Write each LF as CR (removal comes first).
  --join-lines                Ignore single line breaks (they become spaces).
  --tabs-to-breaks            Turn each tab into a line break.
  --allow-low-ascii           Keep control bytes below 0x20.
  --strip-html                Remove HTML tags and "&nbsp;" (and, in the
                              hand-held's character set, decode the other
                              character references such as "&rsquo;").
  --keep-encoding             Keep the document's bytes as they are. Without
                              it (stored default Charset 1) a UTF-8 or UTF-16
                              document, the pattern and the title become the
                              hand-held's Windows-1252; characters it lacks
                              get a plain form or '?', counted in a warning.
  --html-layout               Lay an HTML document (.htm, .html, .xhtml,
                              .shtml, or one starting with <html) out as text
                              before the other rules: blocks on lines of their
                              own, an empty line after each paragraph, no
                              scripts or styles (stored default HtmlLayout 1).
  --no-remove-cr, --no-remove-lf, --no-cr-to-lf, --no-lf-to-cr,
  --no-join-lines, --no-tabs-to-breaks, --no-allow-low-ascii, --no-strip-html,
  --no-keep-encoding, --no-html-layout
                              Switch that stored text rule off.
  --bookmarks REGEX           Bookmark pattern (Perl syntax, case ignored): each
                              matching line becomes a bookmark.
  --contents-bookmarks, --no-contents-bookmarks
                              Bookmarks from an HTML document's headings h1 to
                              h3, or not (stored default ContentsBookmarks 1);
                              a line the pattern matches too gets one bookmark.
  --title TEXT                Database title (one FILE only; default: the file
                              name without its extension, where a leading '.'
                              as in '.notes' starts no extension; for '-', the
                              name of the database file).
  -o PATH                     Output file for one FILE, or an existing folder
                              (for one or several FILEs); '-' writes the one
                              database to standard output. Default: FILE with
                              its extension replaced by .pdb (a FILE.pdb gives
                              FILE-converted.pdb; only -o replaces a database
                              FILE with its new database).
  --salvage                   Of a damaged database FILE, convert what can be
                              read all the same (the exit status is still 1).
  --install USER              Queue each database for USER's next HotSync.
  --jobs N                    Convert N files at a time (default: the number
                              of processor cores).
  --no-defaults               Ignore the stored defaults: the built-in ones
                              (only the hand-held's character set, no
                              bookmarks, 4 KB PalmDoc or 8 KB zTXT,
                              compressed) and then the options.
  The text rules given as options are added to the stored ones. zTXT keeps
  line breaks as LF: a CR LF becomes LF, and so does a CR of its own.

  Each converted FILE gives one line on standard output (on standard error
  with -o -), in the order given: the database path, its size in bytes and
  the number of bookmarks it holds. A progress bar is drawn on standard error
  when it is a terminal. An invalid bookmark pattern, given or stored, and a
  stored block size out of range are usage errors: nothing is converted. A
  line the pattern is too complex to search is named in a warning; the rest
  of the text is searched, and the exit status is 1. A document that is
  empty, or that the text rules empty, gives no database; one that is no
  regular file, or larger than a database can hold at the record size, is
  refused before it is read.
)";

const char kInfoHelp[] = R"(
folivo info FILE.pdb
  Shows a database's format, title, compression, record size and count, text
  length and bookmarks. Of a damaged database it shows what can be read, says
  what is wrong and exits with 1. FILE.pdb '-' is standard input. Titles and
  names are shown in UTF-8: one that is not UTF-8 is read as Windows-1252,
  the hand-held's set, and control characters show as \xHH, \r or \n.
)";

const char kExtractHelp[] = R"(
folivo extract [--bookmarks] [--salvage] [-o OUT] FILE.pdb
  Writes the database's text to standard output, or to OUT (replaced only
  once it is complete; '-' is standard output). FILE.pdb '-' is standard input.
  --bookmarks                 List the bookmarks (offset, tab, name) instead,
                              names shown as info shows them, with each
                              backslash doubled; a name whose characters, in
                              the hand-held's set, are not its bytes (one in
                              UTF-8) shows its bytes, \xHH beyond ASCII. The
                              list reads back with bookmarks --import.
  --salvage                   Of a damaged database, write what can be read
                              all the same (the exit status is still 1).
)";

const char kBookmarksHelp[] = R"(
folivo bookmarks FILE.pdb [EDITS]
  Without EDITS, lists the database's bookmarks as extract --bookmarks does
  (FILE.pdb '-' is standard input). With EDITS, applies them in the order
  given and writes the database back once, only when every one worked: its
  text and everything else in it stay as they were. N counts the bookmarks
  from 1 in the order the list shows them at that point (zTXT keeps them by
  position). Names are typed in UTF-8 and stored in the hand-held's
  Windows-1252; one longer than the format holds (PalmDoc 15 bytes, zTXT 20)
  is cut, with a warning.
  --add POSITION NAME         Add a bookmark at POSITION, a byte offset into
                              the text (at most its length), before the first
                              one further on.
  --rename N NAME             Rename bookmark N.
  --delete N                  Delete bookmark N.
  --clear                     Delete every bookmark.
  --import FILE               Replace them with the list in FILE ('-' is
                              standard input), in the form the listing has:
                              a listing reads back as the same bookmarks.
  --from-pattern REGEX        Add a bookmark at each line of the text the
                              pattern matches, as convert --bookmarks does,
                              except on lines that hold one already.
)";

const char kCheckHelp[] = R"(
folivo check FILE.pdb...
  Lists what the e-book readers in use today (Palm OS readers, calibre,
  FBReader, KOReader and CoolReader, Weasel Reader) refuse or show wrongly in
  each PalmDoc or zTXT database, one line a finding:
    FILE: READERS: refuses: REASON         the book does not open there
    FILE: READERS: shows wrongly: REASON   it opens, but not as written
  A database without findings gives 'FILE: no problems found'. FILE.pdb '-'
  is standard input. The exit status is 1 when any book would not open (or a
  FILE is missing, unreadable or no PalmDoc or zTXT database), 0 when there
  are only findings of the second kind.
)";

const char kDefaultsHelp[] = R"(
folivo defaults [NAME [VALUE]]
folivo defaults --unset NAME
  defaults                    List every stored default: its name, type (DWORD
                              or SZ), built-in default, stored value ('-' when
                              it is not stored) and meaning.
  defaults NAME               Print one stored value (exit 1 when it is not set).
  defaults NAME VALUE         Store one value, as plain decimal: the on/off
                              values take 0 or 1, ShExt 0 or 8, the block sizes
                              1 to 31 and the window edges (Dleft ... Pbottom)
                              any 32-bit number. Bookmarks takes the pattern
                              text as it is, if the engine accepts it.
  defaults --unset NAME       Remove one stored value: its built-in default
                              applies again.
  Printed names and values show CR, LF and other control bytes as \r, \n and
  \xHH. A value stored with the other type is listed as unreadable: its
  default applies. Reading the stored defaults creates no file.
)";

const char kClosing[] = R"(
Other options:
  --help                      Show this text.
  --version                   Show the version.

Exit status: 0 when everything succeeded; 1 when anything failed or was done
only in part (a file not converted, a damaged database, lines the bookmark
pattern could not search), each case reported; 2 for a wrong command line or
an unusable stored default, with nothing done.

Environment: XDG_CONFIG_HOME locates the stored defaults; TMP, else TEMP, else
TMPDIR the temporary files; FOLIVO_HOTSYNC_DIR the HotSync folder.
)";

struct CommandHelp {
    std::string_view command;
    const char* text;
};

constexpr CommandHelp kCommandHelp[] = {
    {"convert", kConvertHelp},     {"info", kInfoHelp},   {"extract", kExtractHelp},
    {"bookmarks", kBookmarksHelp}, {"check", kCheckHelp}, {"defaults", kDefaultsHelp},
};

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
        return;
    }
    const int follow = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(((0xFFu << (7 - follow)) & 0xFF) | (c >> (6 * follow)));
    for (int shift = 6 * (follow - 1); shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
}

void PrintTagged(const char* tag, std::string_view message)
{
    std::fprintf(stderr, "folivo: %s%s\n", tag, Printable(message).c_str());
}

}  // namespace

bool PrintHelp(std::string_view command)
{
    const CommandHelp* only = nullptr;
    for (const CommandHelp& help : kCommandHelp)
        if (help.command == command)
            only = &help;
    if (!command.empty() && !only)
        return false;
    std::fputs(kIntroduction, stdout);
    for (const CommandHelp& help : kCommandHelp)
        if (!only || only == &help)
            std::fputs(help.text, stdout);
    std::fputs(kClosing, stdout);
    return true;
}

void PrintVersion()
{
    std::printf("folivo %s\n", FOLIVO_VERSION);
}

int UsageError(std::string_view message)
{
    PrintTagged("", message);
    std::fputs("Try 'folivo --help'.\n", stderr);
    return kExitUsage;
}

void ReportError(std::string_view message)
{
    PrintTagged("error: ", message);
}

void ReportWarning(std::string_view message)
{
    PrintTagged("warning: ", message);
}

std::string Printable(std::string_view text, bool doubleBackslashes)
{
    std::string shown;
    shown.reserve(text.size());
    for (const unsigned char c : text) {
        if (c == '\\' && doubleBackslashes)
            shown += "\\\\";
        // A byte beyond ASCII is a part of a character here, never a control.
        else if (c >= 0x80 || !AppendControlEscape(shown, c))
            shown += static_cast<char>(c);
    }
    return shown;
}

std::string PrintableName(std::string_view name, bool doubleBackslashes)
{
    std::string shown;
    shown.reserve(name.size());
    for (const char32_t c : NameCharacters(name)) {
        if (c == '\\' && doubleBackslashes)
            shown += "\\\\";
        else if (!AppendControlEscape(shown, c))
            AppendUtf8(shown, c);
    }
    return shown;
}

}  // namespace folivo::cli
