#include "Usage.h"

#include "Commands.h"

#include <cstdio>

namespace folivo::cli {

namespace {

const char kHelp[] = R"(Usage: folivo COMMAND [OPTIONS] [ARGUMENTS]

Turns plain-text and HTML documents into Palm e-books (PalmDoc or zTXT .pdb
databases), shows and extracts such databases, and keeps the stored defaults.

Commands:
  convert [OPTIONS] FILE...   Convert each FILE as the desktop program's direct
                              conversion does, with the stored defaults unless
                              OPTIONS override them.
  info FILE.pdb               Show a database's format, title, compression,
                              record size and count, text length and bookmarks.
  extract FILE.pdb [-o OUT]   Write the database's text to standard output, or
                              to OUT (replaced only once it is complete).
      --bookmarks             List the bookmarks (offset, tab, name) instead.
  defaults                    List the stored defaults that are set: name,
                              type (DWORD or SZ) and value.
  defaults NAME               Print one stored value (exit 1 when it is not set).
  defaults NAME VALUE         Store one value. Numbers are plain decimal; only
                              the window placements (Dleft ... Pbottom) may be
                              negative, the block sizes must be 1 to 31.
                              Bookmarks takes the pattern text as it is.

Options of convert:
  --format palmdoc|ztxt       Database format (default palmdoc).
  --block-size KB             Record size in KB, 1 to 31 (stored default:
                              PalmDocBlock 4 or zTxtBlock 8).
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
  --strip-html                Remove HTML tags and "&nbsp;".
  --bookmarks REGEX           Bookmark pattern (Perl syntax, case ignored): each
                              matching line becomes a bookmark.
  --title TEXT                Database title (one FILE only; default: the file
                              name without its extension).
  -o PATH                     Output file for one FILE, or an existing folder
                              (for one or several FILEs). Default: FILE with
                              its extension replaced by .pdb.
  --install USER              Queue each database for USER's next HotSync.
  --jobs N                    Convert N files at a time (default: the number
                              of processor cores).
  --no-defaults               Ignore the stored defaults: the built-in ones
                              (no text rules, no bookmarks, 4 KB PalmDoc or
                              8 KB zTXT, compressed) and then the options.
  The text rules given as options are added to the stored ones.

  Each converted FILE gives one line on standard output, in the order given:
  the database path, its size in bytes and the number of bookmarks found. A
  progress bar is drawn on standard error when it is a terminal.
  An invalid bookmark pattern is reported with the engine's message, and the
  file is converted without bookmarks but counts as failed.

Other options:
  --help                      Show this text.
  --version                   Show the version.

Exit status: 0 when everything succeeded, 1 when anything failed, 2 for a
wrong command line.

Environment: XDG_CONFIG_HOME locates the stored defaults, TMP (else TEMP)
the temporary files, FOLIVO_HOTSYNC_DIR the HotSync folder.
)";

void PrintTagged(const char* tag, std::string_view message)
{
    std::fprintf(stderr, "folivo: %s%.*s\n", tag, static_cast<int>(message.size()), message.data());
}

}  // namespace

void PrintHelp()
{
    std::fputs(kHelp, stdout);
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

}  // namespace folivo::cli
