// A binary archive in the framework's exact encodings.
//
// Integers are little-endian of their natural width; a CString is stored with
// the framework's length prefix (one byte below 0xFF; else 0xFF and a 16-bit
// length below 0xFFFE; else 0xFF 0xFFFF and a 32-bit length), and a wide string
// (0xFF 0xFFFE, then a prefix counting UTF-16 units) is read back as Windows-1252
// bytes, '?' standing for characters that code page lacks. Objects are written
// with the framework's class tags so that loading can tell their schema.
//
// An archive works on a byte buffer owned by the caller: storing appends to it,
// loading reads from it. A load that runs past the end, meets an unknown class
// tag or a schema its class does not accept throws CArchiveException; nothing is
// ever allocated beyond what the remaining bytes can hold.
#pragma once

#include <framework/CObject.h>
#include <framework/CString.h>
#include <framework/Export.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class FOLIVO_EXPORT CArchiveException {
public:
    enum Cause { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
    explicit CArchiveException(Cause cause) : m_cause(cause) {}
    Cause m_cause;
};

class FOLIVO_EXPORT CArchive {
public:
    enum Mode { store = 0, load = 1 };

    // The buffer must outlive the archive.
    CArchive(std::vector<unsigned char>& buffer, Mode mode);
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }
    // Bytes a load has not consumed yet.
    std::size_t Remaining() const;

    CArchive& operator<<(std::uint8_t v);
    CArchive& operator<<(std::uint16_t v);
    CArchive& operator<<(std::uint32_t v);
    CArchive& operator<<(std::int32_t v);
    CArchive& operator>>(std::uint8_t& v);
    CArchive& operator>>(std::uint16_t& v);
    CArchive& operator>>(std::uint32_t& v);
    CArchive& operator>>(std::int32_t& v);

    void Write(const void* data, std::size_t n);
    // Reads exactly n bytes or throws endOfFile.
    void Read(void* data, std::size_t n);

    void WriteString(const CString& s);
    CString ReadString();

    // Stores an object (null allowed) with its class tag, schema and data; an
    // object stored before is written as a reference to the first copy.
    void WriteObject(const CObject* object);
    // Loads an object stored by WriteObject; it must be of class `expected`
    // or derived from it (null accepts any). The caller owns the result.
    CObject* ReadObject(const CRuntimeClass* expected);

    // The schema of the object being loaded by ReadObject; it reads as the
    // unknown schema (0xFFFFFFFF) once asked and outside ReadObject.
    unsigned int GetObjectSchema();
    void SetObjectSchema(unsigned int schema) { m_schema = schema; }

    // Ends the archive at once: nothing more is read or written.
    void Abort();
    bool IsAborted() const { return m_aborted; }

private:
    const unsigned char* Take(std::size_t n);
    void Write64(std::uint64_t v);
    std::uint64_t Read64();
    std::uint64_t ReadStringLength(int& charSize);
    const CRuntimeClass* ReadClass(const CRuntimeClass* expected, unsigned int& schema, std::uint32_t& objectTag);
    void WriteTag(std::uint32_t index, std::uint32_t bigFlag);

    std::vector<unsigned char>& m_buffer;
    Mode m_mode;
    std::size_t m_pos = 0;
    unsigned int m_schema = 0xFFFFFFFFu;
    bool m_aborted = false;

    // Classes and objects share one tag numbering that starts at 1 (0 is null).
    struct LoadEntry {
        const CRuntimeClass* cls;  // set for a class entry
        unsigned int schema;       // the schema stored with that class
        CObject* object;           // set for an object entry
    };
    std::vector<LoadEntry> m_loaded;
    std::vector<const void*> m_stored;
};

FOLIVO_EXPORT CArchive& operator<<(CArchive& ar, const CString& s);
FOLIVO_EXPORT CArchive& operator>>(CArchive& ar, CString& s);
