#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// UTF-16 text (a log saved so by some Windows programs) read as UTF-8 and written back, piece by piece and
// without loss: a surrogate that stands alone, which is no character and has no UTF-8 form, is carried in the
// three bytes that UTF-8's scheme would give it, so that a file decoded and encoded again is the file it was.
// Written here rather than taken from a library: the libraries at hand stop at a lone surrogate or drop it, and
// iconv is missing on some platforms.
namespace cardmill::utf16 {

enum class ByteOrder { Little, Big };

// The byte order a byte-order mark at the start of `head` gives; none when `head` does not start with one.
std::optional<ByteOrder> markIn(std::string_view head);
// The two bytes of the mark.
std::string_view mark(ByteOrder order);

// UTF-16 bytes (after the mark) to UTF-8.
class Decoder {
public:
    explicit Decoder(ByteOrder order)
        : m_order(order)
    {
    }
    // Appends what `bytes` completes; an unfinished unit or pair waits for the next piece.
    void decode(std::string_view bytes, std::string& out);
    // The end of the text: a lone high surrogate left over is written; an odd last byte becomes U+FFFD.
    void finish(std::string& out);

private:
    void unit(std::uint16_t u, std::string& out);

    ByteOrder m_order;
    int m_odd = -1;           // a first byte of a unit waiting for its second
    std::uint16_t m_high = 0; // a high surrogate waiting for its low one
};

// UTF-8 (as Decoder makes it) to UTF-16 bytes, the byte-order mark first.
class Encoder {
public:
    explicit Encoder(ByteOrder order)
        : m_order(order)
    {
    }
    // Appends the encoding of what `utf8` completes; an unfinished sequence waits for the next piece. A byte
    // that is no UTF-8 becomes U+FFFD.
    void encode(std::string_view utf8, std::string& out);
    void finish(std::string& out);

private:
    void unit(std::uint16_t u, std::string& out) const;
    void flushInvalid(std::string& out);

    ByteOrder m_order;
    bool m_marked = false;
    std::string m_pending; // the start of a sequence
};

} // namespace cardmill::utf16
