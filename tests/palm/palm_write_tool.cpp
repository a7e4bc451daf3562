// Writes one database through the C entry points, for the interoperability
// checks run by CTest:
//   palm_write_tool palmdoc <compress 0|1> <text> <output> <bookmarks> <block size>
//   palm_write_tool ztxt <mode 1|2> <text> <output> <bookmarks or -> <block size>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "OutsideLibraries.h"

int main(int argc, char** argv)
{
    if (argc != 7) {
        std::fprintf(stderr, "usage: %s palmdoc|ztxt <compress|mode> <text> <output> <bookmarks> <block size>\n",
                     argv[0]);
        return 2;
    }
    const int option = std::atoi(argv[2]);
    const int blockSize = std::atoi(argv[6]);
    if (std::strcmp(argv[1], "palmdoc") == 0)
        return FolivoWritePalmDoc(option, "Interop", argv[3], argv[4], argv[5], 0, blockSize);
    ZtxtJob job{};
    job.textPath = argv[3];
    job.outputPath = argv[4];
    job.bookmarkPath = std::strcmp(argv[5], "-") == 0 ? nullptr : argv[5];
    job.blockSize = static_cast<uint32_t>(blockSize);
    job.title = "Interop";
    job.mode = static_cast<uint8_t>(option);
    return FolivoWriteZtxt(&job);
}
