#include <framework/CArchive.h>
#include <framework/Windows1252.h>

#include <cstring>
#include <memory>

namespace {

// Tags of the framework's object stream.
constexpr std::uint16_t kNullTag = 0;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
// Class names longer than this are refused, as the framework's loader does.
constexpr std::uint16_t kMaxClassName = 64;

char ToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (folivo::kWindows1252High[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

}  // namespace

CArchive::CArchive(std::vector<unsigned char>& buffer, Mode mode) : m_buffer(buffer), m_mode(mode) {}

std::size_t CArchive::Remaining() const
{
    return IsLoading() ? m_buffer.size() - m_pos : 0;
}

void CArchive::Abort()
{
    m_aborted = true;
}

const unsigned char* CArchive::Take(std::size_t n)
{
    if (m_aborted)
        throw CArchiveException(CArchiveException::genericException);
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly);
    if (n > m_buffer.size() - m_pos)
        throw CArchiveException(CArchiveException::endOfFile);
    const unsigned char* p = m_buffer.data() + m_pos;
    m_pos += n;
    return p;
}

void CArchive::Read(void* data, std::size_t n)
{
    if (n != 0)
        std::memcpy(data, Take(n), n);
}

void CArchive::Write(const void* data, std::size_t n)
{
    if (m_aborted)
        throw CArchiveException(CArchiveException::genericException);
    if (!IsStoring())
        throw CArchiveException(CArchiveException::readOnly);
    const auto* p = static_cast<const unsigned char*>(data);
    m_buffer.insert(m_buffer.end(), p, p + n);
}

// Integers travel little-endian whatever the host order.
CArchive& CArchive::operator<<(std::uint8_t v)
{
    Write(&v, 1);
    return *this;
}

CArchive& CArchive::operator<<(std::uint16_t v)
{
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Write(b, 2);
    return *this;
}

CArchive& CArchive::operator<<(std::uint32_t v)
{
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Write(b, 4);
    return *this;
}

CArchive& CArchive::operator<<(std::int32_t v)
{
    return *this << static_cast<std::uint32_t>(v);
}

void CArchive::Write64(std::uint64_t v)
{
    *this << static_cast<std::uint32_t>(v) << static_cast<std::uint32_t>(v >> 32);
}

CArchive& CArchive::operator>>(std::uint8_t& v)
{
    v = *Take(1);
    return *this;
}

CArchive& CArchive::operator>>(std::uint16_t& v)
{
    const unsigned char* b = Take(2);
    v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return *this;
}

CArchive& CArchive::operator>>(std::uint32_t& v)
{
    const unsigned char* b = Take(4);
    v = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    return *this;
}

CArchive& CArchive::operator>>(std::int32_t& v)
{
    std::uint32_t u;
    *this >> u;
    v = static_cast<std::int32_t>(u);
    return *this;
}

std::uint64_t CArchive::Read64()
{
    std::uint32_t lo, hi;
    *this >> lo >> hi;
    return static_cast<std::uint64_t>(hi) << 32 | lo;
}

void CArchive::WriteString(const CString& s)
{
    const std::uint64_t n = s.size();
    if (n < 0xFF) {
        *this << static_cast<std::uint8_t>(n);
    } else if (n < 0xFFFE) {
        *this << std::uint8_t{0xFF} << static_cast<std::uint16_t>(n);
    } else if (n < 0xFFFFFFFFu) {
        *this << std::uint8_t{0xFF} << std::uint16_t{0xFFFF} << static_cast<std::uint32_t>(n);
    } else {
        *this << std::uint8_t{0xFF} << std::uint16_t{0xFFFF} << std::uint32_t{0xFFFFFFFFu};
        Write64(n);
    }
    Write(s.data(), s.size());
}

std::uint64_t CArchive::ReadStringLength(int& charSize)
{
    charSize = 1;
    std::uint8_t b;
    *this >> b;
    if (b < 0xFF)
        return b;
    std::uint16_t w;
    *this >> w;
    if (w == 0xFFFE) {
        // A wide string: the prefix starts over, counting UTF-16 units.
        charSize = 2;
        *this >> b;
        if (b < 0xFF)
            return b;
        *this >> w;
    }
    if (w < 0xFFFF)
        return w;
    std::uint32_t d;
    *this >> d;
    if (d < 0xFFFFFFFFu)
        return d;
    return Read64();
}

CString CArchive::ReadString()
{
    int charSize;
    const std::uint64_t n = ReadStringLength(charSize);
    // Checked before allocating: a forged length must not cost memory.
    if (n > Remaining() / static_cast<unsigned>(charSize))
        throw CArchiveException(CArchiveException::endOfFile);
    const unsigned char* p = Take(static_cast<std::size_t>(n) * charSize);
    if (charSize == 1)
        return CString(reinterpret_cast<const char*>(p), static_cast<std::size_t>(n));
    CString s;
    s.reserve(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = static_cast<char16_t>(p[2 * i] | p[2 * i + 1] << 8);
        // A surrogate pair is one character, and none of them is in the code page.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
            const char16_t next = static_cast<char16_t>(p[2 * i + 2] | p[2 * i + 3] << 8);
            if (next >= 0xDC00 && next <= 0xDFFF)
                ++i;
        }
        s.push_back(ToCp1252(c));
    }
    return s;
}

CArchive& operator<<(CArchive& ar, const CString& s)
{
    ar.WriteString(s);
    return ar;
}

CArchive& operator>>(CArchive& ar, CString& s)
{
    s = ar.ReadString();
    return ar;
}

void CArchive::WriteTag(std::uint32_t index, std::uint32_t bigFlag)
{
    if (index < kBigObjectTag) {
        *this << static_cast<std::uint16_t>((bigFlag ? kClassTag : 0) | index);
    } else {
        *this << kBigObjectTag << (bigFlag | index);
    }
}

void CArchive::WriteObject(const CObject* object)
{
    if (!object) {
        *this << kNullTag;
        return;
    }
    // m_stored[i] is the class or object that tag i + 1 stands for.
    for (std::size_t i = 0; i < m_stored.size(); ++i)
        if (m_stored[i] == object) {
            WriteTag(static_cast<std::uint32_t>(i + 1), 0);
            return;
        }
    const CRuntimeClass* cls = object->GetRuntimeClass();
    bool classKnown = false;
    for (std::size_t i = 0; i < m_stored.size() && !classKnown; ++i)
        if (m_stored[i] == cls) {
            WriteTag(static_cast<std::uint32_t>(i + 1), kBigClassTag);
            classKnown = true;
        }
    if (!classKnown) {
        const std::size_t len = std::strlen(cls->m_lpszClassName);
        *this << kNewClassTag << static_cast<std::uint16_t>(cls->Schema()) << static_cast<std::uint16_t>(len);
        Write(cls->m_lpszClassName, len);
        m_stored.push_back(cls);
    }
    m_stored.push_back(object);
    const_cast<CObject*>(object)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* expected, unsigned int& schema, std::uint32_t& objectTag)
{
    std::uint16_t tag;
    *this >> tag;
    std::uint32_t bigTag;
    if (tag == kBigObjectTag)
        *this >> bigTag;
    else
        bigTag = static_cast<std::uint32_t>(tag & kClassTag) << 16 | (tag & ~kClassTag);

    const CRuntimeClass* cls;
    if (tag == kNewClassTag) {
        std::uint16_t storedSchema, len;
        *this >> storedSchema >> len;
        if (len >= kMaxClassName)
            throw CArchiveException(CArchiveException::badClass);
        char name[kMaxClassName];
        Read(name, len);
        name[len] = '\0';
        cls = CRuntimeClass::FromName(name);
        if (!cls)
            throw CArchiveException(CArchiveException::badClass);
        schema = storedSchema;
        m_loaded.push_back({cls, schema, nullptr});
    } else if (!(bigTag & kBigClassTag)) {
        objectTag = bigTag;
        return nullptr;
    } else {
        const std::uint32_t index = bigTag & ~kBigClassTag;
        if (index == 0 || index > m_loaded.size() || !m_loaded[index - 1].cls)
            throw CArchiveException(CArchiveException::badIndex);
        cls = m_loaded[index - 1].cls;
        schema = m_loaded[index - 1].schema;
    }
    if (expected && !cls->IsDerivedFrom(expected))
        throw CArchiveException(CArchiveException::badClass);
    if (cls->Schema() != schema && !cls->IsVersionable())
        throw CArchiveException(CArchiveException::badSchema);
    return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected)
{
    unsigned int schema = 0;
    std::uint32_t objectTag = 0;
    const CRuntimeClass* cls = ReadClass(expected, schema, objectTag);
    if (!cls) {
        if (objectTag == kNullTag)
            return nullptr;
        if (objectTag > m_loaded.size() || !m_loaded[objectTag - 1].object)
            throw CArchiveException(CArchiveException::badIndex);
        CObject* object = m_loaded[objectTag - 1].object;
        if (expected && !object->IsKindOf(expected))
            throw CArchiveException(CArchiveException::badClass);
        return object;
    }
    std::unique_ptr<CObject> object(cls->CreateObject());
    if (!object)
        throw CArchiveException(CArchiveException::badClass);
    const std::size_t slot = m_loaded.size();
    m_loaded.push_back({nullptr, 0, object.get()});
    const unsigned int savedSchema = m_schema;
    m_schema = schema;
    try {
        object->Serialize(*this);
    } catch (...) {
        // The half-loaded object dies here; a later reference to its tag is refused.
        m_loaded[slot].object = nullptr;
        m_schema = savedSchema;
        throw;
    }
    m_schema = savedSchema;
    return object.release();
}

unsigned int CArchive::GetObjectSchema()
{
    const unsigned int schema = m_schema;
    m_schema = 0xFFFFFFFFu;
    return schema;
}
