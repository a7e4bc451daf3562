#include "Inflater.h"

#include <algorithm>
#include <new>

namespace palm {

Inflater::Inflater(bool raw)
{
    m_ok = inflateInit2(&m_stream, raw ? -MAX_WBITS : MAX_WBITS) == Z_OK;
}

Inflater::~Inflater()
{
    if (m_ok)
        inflateEnd(&m_stream);
}

std::string Inflater::Feed(std::string_view record, std::string& text, std::size_t limit, const std::string& overLimit)
{
    if (!m_ok)
        return "zlib cannot start";
    if (m_ended)
        return record.empty() ? "" : "data after the end of the zlib stream";
    m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(record.data()));
    m_stream.avail_in = static_cast<uInt>(record.size());
    unsigned char buffer[16384];
    for (;;) {
        m_stream.next_out = buffer;
        m_stream.avail_out = sizeof buffer;
        const int status = inflate(&m_stream, Z_SYNC_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            return m_stream.msg ? m_stream.msg : "inflate failed";
        const std::size_t produced = sizeof buffer - m_stream.avail_out;
        const std::size_t room = limit - text.size();
        try {
            text.append(reinterpret_cast<const char*>(buffer), std::min(produced, room));
        } catch (const std::bad_alloc&) {
            // Within its bounds a text may still exceed the memory at hand.
            return "the text does not fit in memory";
        }
        if (produced > room)
            return overLimit;
        if (status == Z_STREAM_END) {
            m_ended = true;
            return m_stream.avail_in == 0 ? "" : "data after the end of the zlib stream";
        }
        // Room left over means the input is used up and nothing is pending.
        if (m_stream.avail_out != 0)
            break;
    }
    return "";
}

}  // namespace palm
