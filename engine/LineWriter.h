#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/Text.h"

namespace cardmill {

// Builds a label line in a string through a plain pointer. A line is a dozen short values, and the string's
// own bookkeeping on every append cost more than the copying. The line gets its final length when the
// writer goes out of scope.
class LineWriter {
public:
    // Starts an empty line in `line`, reusing its storage.
    explicit LineWriter(std::string& line)
        : m_line(line)
    {
        m_line.resize(std::max(m_line.capacity(), kInitialSize));
        m_data = m_line.data();
    }
    ~LineWriter() { m_line.resize(m_size); }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // A value with every "," and line end turned into a blank, so that a value never adds a column or a line.
    void value(std::string_view v)
    {
        reserve(v.size());
        std::transform(v.begin(), v.end(), m_data + m_size,
                       [](char c) { return c == ',' || c == '\n' || c == '\r' ? ' ' : c; });
        m_size += v.size();
    }

    // A value and the comma that ends its column.
    void column(std::string_view v)
    {
        value(v);
        put(',');
    }

    // Text copied as it stands, commas included.
    void text(std::string_view t)
    {
        reserve(t.size());
        std::memcpy(m_data + m_size, t.data(), t.size());
        m_size += t.size();
    }

    void put(char c)
    {
        reserve(1);
        m_data[m_size++] = c;
    }

    // Deletes the first `what` at or after `from`.
    void eraseFirst(std::size_t from, std::string_view what)
    {
        const std::size_t at = view().find(what, from);
        if (at == std::string_view::npos)
            return;
        std::memmove(m_data + at, m_data + at + what.size(), m_size - at - what.size());
        m_size -= what.size();
    }

    std::string_view view() const { return {m_data, m_size}; }
    std::size_t size() const { return m_size; }

private:
    static constexpr std::size_t kInitialSize = 256;

    void reserve(std::size_t n)
    {
        if (n > m_line.size() - m_size)
            grow(n);
    }
    // Kept out of the callers, so that the small writing functions stay small enough to inline.
    [[gnu::noinline]] void grow(std::size_t n)
    {
        m_line.resize(std::max(2 * m_line.size(), m_size + n));
        m_data = m_line.data();
    }

    std::string& m_line;
    char* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace cardmill
