// Reading back, through our own reader, the databases a test made, and the
// text a reader should find in them.
#pragma once

#include <palm/EbookReader.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// A database's bookmarks, compared whole; a failure shows each as {"name", offset}.
using Marks = std::vector<palm::StoredBookmark>;

namespace palm {
inline void PrintTo(const StoredBookmark& mark, std::ostream* out)
{
    *out << "{\"" << mark.name << "\", " << mark.offset << '}';
}
}  // namespace palm

// The database at `path`; a read that fails is a test failure.
inline palm::EbookInfo ReadDatabase(const std::filesystem::path& path)
{
    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbookFile(path.string(), info);
    EXPECT_TRUE(result.Ok()) << path << ": " << palm::Message(result);
    return info;
}

// The text a zTXT reader gets back: line breaks are LF only, so CR LF loses
// its CR and a CR of its own becomes LF.
inline std::string WithLfBreaks(const std::string& text)
{
    std::string lf;
    lf.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r')
            lf += text[i];
        else if (i + 1 == text.size() || text[i + 1] != '\n')
            lf += '\n';
    }
    return lf;
}
