#include <platform/Paths.h>

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* path;
    const char* folder;
    const char* name;
};

// Every layer splits paths with these two; the cases are the ones that went
// different ways when each layer had its own.
constexpr PathCase kPaths[] = {
    {"name.txt", ".", "name.txt"},
    {"/name.txt", "/", "name.txt"},
    {"a/b/name.txt", "a/b", "name.txt"},
    {"a/b/", "a/b", ""},
    {"//name", "/", "name"},
    {"a\\b\\name.txt", ".", "name.txt"},
    {"dir/a\\b.txt", "dir", "b.txt"},
    {"", ".", ""},
};

TEST(Paths, FolderAndFileName)
{
    for (const PathCase& c : kPaths) {
        EXPECT_EQ(platform::FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(platform::FileNameOf(c.path), c.name) << c.path;
    }
}

}  // namespace
