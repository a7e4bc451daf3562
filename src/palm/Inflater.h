// Inflating a zlib stream record by record, never beyond a bound.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace palm {

class Inflater {
public:
    // A zlib stream, or with `raw` bare deflate data (no zlib header).
    explicit Inflater(bool raw = false);
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    ~Inflater();

    // Feeds one record, appending its output to text without ever letting
    // text grow beyond limit; what would is `overLimit`, with text filled up
    // to the limit. Returns an error text, empty on success.
    std::string Feed(std::string_view record, std::string& text, std::size_t limit, const std::string& overLimit);

    bool Ended() const { return m_ended; }

private:
    z_stream m_stream{};
    bool m_ok = false;
    bool m_ended = false;
};

}  // namespace palm
