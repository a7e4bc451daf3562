// Reading back, through our own reader, the databases a test made.
#pragma once

#include <palm/EbookReader.h>

#include <gtest/gtest.h>

#include <filesystem>

// The database at `path`; a read that fails is a test failure.
inline palm::EbookInfo ReadDatabase(const std::filesystem::path& path)
{
    palm::EbookInfo info;
    const palm::Result result = palm::ReadEbookFile(path.string(), info);
    EXPECT_TRUE(result.Ok()) << path << ": " << palm::Message(result);
    return info;
}
