#include "engine/Utf16.h"

namespace cardmill::utf16 {

namespace {

void appendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHigh(char32_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}

bool isLow(char32_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

std::optional<ByteOrder> markIn(std::string_view head)
{
    if (head.substr(0, 2) == "\xFF\xFE")
        return ByteOrder::Little;
    if (head.substr(0, 2) == "\xFE\xFF")
        return ByteOrder::Big;
    return std::nullopt;
}

std::string_view mark(ByteOrder order)
{
    return order == ByteOrder::Little ? "\xFF\xFE" : "\xFE\xFF";
}

void Decoder::unit(std::uint16_t u, std::string& out)
{
    if (m_high != 0) {
        const std::uint16_t high = m_high;
        m_high = 0;
        if (isLow(u)) {
            appendUtf8(0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (u - 0xDC00), out);
            return;
        }
        appendUtf8(high, out); // alone
    }
    if (isHigh(u))
        m_high = u;
    else
        appendUtf8(u, out);
}

void Decoder::decode(std::string_view bytes, std::string& out)
{
    std::size_t i = 0;
    auto take = [&](unsigned char first, unsigned char second) {
        unit(static_cast<std::uint16_t>(m_order == ByteOrder::Little ? first | second << 8 : first << 8 | second), out);
    };
    if (m_odd >= 0 && !bytes.empty()) {
        take(static_cast<unsigned char>(m_odd), static_cast<unsigned char>(bytes[0]));
        m_odd = -1;
        i = 1;
    }
    for (; i + 1 < bytes.size(); i += 2)
        take(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1]));
    if (i < bytes.size())
        m_odd = static_cast<unsigned char>(bytes[i]);
}

void Decoder::finish(std::string& out)
{
    if (m_high != 0)
        appendUtf8(m_high, out);
    m_high = 0;
    if (m_odd >= 0)
        appendUtf8(kReplacement, out);
    m_odd = -1;
}

void Encoder::unit(std::uint16_t u, std::string& out) const
{
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (m_order == ByteOrder::Little) {
        out += lo;
        out += hi;
    } else {
        out += hi;
        out += lo;
    }
}

void Encoder::flushInvalid(std::string& out)
{
    for (std::size_t n = m_pending.size(); n > 0; --n)
        unit(static_cast<std::uint16_t>(kReplacement), out);
    m_pending.clear();
}

void Encoder::encode(std::string_view utf8, std::string& out)
{
    if (!m_marked) {
        out += mark(m_order);
        m_marked = true;
    }
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (m_pending.empty()) {
            if (b < 0x80)
                unit(b, out);
            else if (b >= 0xC2 && b <= 0xF4)
                m_pending += ch;
            else
                unit(static_cast<std::uint16_t>(kReplacement), out);
            continue;
        }
        if ((b & 0xC0) != 0x80) { // the sequence broke off: what came is no character
            flushInvalid(out);
            if (b < 0x80) {
                unit(b, out);
            } else if (b >= 0xC2 && b <= 0xF4) {
                m_pending += ch;
            } else {
                unit(static_cast<std::uint16_t>(kReplacement), out);
            }
            continue;
        }
        m_pending += ch;
        const auto lead = static_cast<unsigned char>(m_pending[0]);
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (m_pending.size() < length)
            continue;
        char32_t c = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
        for (std::size_t k = 1; k < length; ++k)
            c = c << 6 | (static_cast<unsigned char>(m_pending[k]) & 0x3F);
        m_pending.clear();
        const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (c < least || c > 0x10FFFF) {
            unit(static_cast<std::uint16_t>(kReplacement), out);
        } else if (c >= 0x10000) {
            unit(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)), out);
            unit(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), out);
        } else {
            unit(static_cast<std::uint16_t>(c), out); // a lone surrogate's bytes give that surrogate back
        }
    }
}

void Encoder::finish(std::string& out)
{
    if (!m_marked) {
        out += mark(m_order);
        m_marked = true;
    }
    flushInvalid(out);
}

} // namespace cardmill::utf16
