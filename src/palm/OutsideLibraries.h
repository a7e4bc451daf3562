/* C-callable entry points that stand for the four outside libraries the
 * conversion job and the document options page call by ordinal. Arguments
 * keep the order and meaning of those calls. Each writer and install call
 * returns the palm::Status number: 0 done, 1 or 2 written with a bookmark
 * warning, larger numbers nothing written. The program ignores it; the C++
 * functions of palm/ give the same with a message. Strings are
 * NUL-terminated 8-bit text. */
#ifndef FOLIVO_PALM_OUTSIDE_LIBRARIES_H
#define FOLIVO_PALM_OUTSIDE_LIBRARIES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* PalmDoc writer, FOTXT2PDB ordinal 1. compress: 1 on, 0 off. The bookmark
 * file is always given (it may be empty); bookmarkCount is the size of the
 * whole bookmark list, manual entries included, which the file does not hold:
 * the database gets exactly the bookmarks in the file. blockSize: bytes per
 * text record, 1024..31744. */
int FolivoWritePalmDoc(int compress, const char* title, const char* textPath, const char* outputPath,
                       const char* bookmarkPath, int bookmarkCount, int blockSize);

/* The zTXT writer's job record; the caller zero-fills it, then sets it. */
typedef struct ZtxtJob {
    const char* textPath;
    const char* outputPath;
    const char* bookmarkPath; /* null: no bookmarks */
    uint32_t blockSize;       /* bytes per record, 1024..31744 */
    const char* title;
    uint8_t mode; /* 1 random access, 2 entire document */
    uint8_t reserved[3];
} ZtxtJob;

/* zTXT writer, FOZTXT ordinal 1. */
int FolivoWriteZtxt(const ZtxtJob* job);

/* User list, UserData ordinal 101: the number of hand-held users, negative
 * when the HotSync folder cannot be read. */
int16_t FolivoUserCount(void);

/* UserData ordinal 102: the identifier of the user at index 0..count-1 (users
 * sorted by name). 0 on success. */
int32_t FolivoUserId(int16_t index, uint32_t* id);

/* UserData ordinal 103: the name of the user with this identifier, NUL-
 * terminated in name, whose size in bytes is *size (255 from the caller). On
 * success returns the bytes written including the NUL (> 0) and stores it in
 * *size; 0 when no such user exists or the name does not fit. */
int32_t FolivoUserName(uint32_t id, char* name, int16_t* size);

/* Install queue, INSTAIDE ordinal 103: queues the database for the named
 * user's next HotSync. */
int FolivoInstallDatabase(const char* userName, const char* databasePath);

#ifdef __cplusplus
}
#endif

#endif
