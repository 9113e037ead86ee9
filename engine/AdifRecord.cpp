#include "engine/AdifRecord.h"

#include <cstring>

#include "engine/Text.h"

namespace cardmill {

void AdifRecord::assign(std::string_view text, std::string_view raw)
{
    m_text = text;
    m_raw = raw;
    text::upperInto(text, m_upper);

    // Index every "<name:" once, so that each field lookup is a short scan instead of a search of the text.
    // Every "<" is indexed, also inside values, so the first entry of a name is the tag's first occurrence.
    m_tags.clear();
    const char* base = m_upper.data();
    const std::size_t size = m_upper.size();
    std::size_t i = 0;
    while (i < size) {
        const void* lt = std::memchr(base + i, '<', size - i);
        if (!lt)
            break;
        const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(lt) - base);
        std::size_t j = pos + 1;
        while (j < size && base[j] != ':' && base[j] != '<' && base[j] != '>')
            ++j;
        if (j < size && base[j] == ':')
            m_tags.push_back({std::string_view(base + pos + 1, j - pos - 1), pos});
        i = (j < size && base[j] == '<') ? j : pos + 1;
    }
}

std::size_t AdifRecord::find(std::string_view name) const
{
    if (name.find_first_of(":<>") != std::string_view::npos) {
        // Such a name cannot be in the index; search for the tag as written.
        std::string tag = "<";
        tag.append(name);
        tag.push_back(':');
        return std::string_view(m_upper).find(tag);
    }
    for (const Tag& t : m_tags)
        if (t.name == name)
            return t.pos;
    return std::string_view::npos;
}

std::size_t AdifRecord::valueStart(std::size_t tagPos) const
{
    const std::size_t gt = m_upper.find('>', tagPos);
    return gt == std::string::npos ? m_upper.size() : gt + 1;
}

AdifRecord::Declared AdifRecord::declared(std::string_view name) const
{
    Declared result;
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return result;
    std::size_t i = p + name.size() + 2; // just after the tag's ":"
    const std::size_t digitsStart = i;
    std::size_t length = 0;
    const std::size_t cap = m_text.size(); // a longer length is cut at the end of the text anyway
    while (i < m_text.size() && m_text[i] >= '0' && m_text[i] <= '9') {
        if (length <= cap)
            length = length * 10 + static_cast<std::size_t>(m_text[i] - '0');
        ++i;
    }
    const std::size_t gt = m_text.find('>', i);
    if (i == digitsStart || gt == std::string_view::npos) {
        result.status = Declared::Status::BadLength;
        return result;
    }
    result.status = Declared::Status::Ok;
    result.value = m_text.substr(gt + 1, length);
    return result;
}

std::optional<std::string_view> AdifRecord::eightCharacters(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return std::string_view(m_upper).substr(valueStart(p), 8);
}

std::optional<std::string_view> AdifRecord::toNextTag(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    const std::size_t start = valueStart(p);
    const std::size_t end = m_text.find('<', start);
    return text::trim(m_text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

std::optional<std::string_view> AdifRecord::firstCharacter(std::string_view name) const
{
    const std::size_t p = find(name);
    if (p == std::string_view::npos)
        return std::nullopt;
    return std::string_view(m_upper).substr(valueStart(p), 1);
}

} // namespace cardmill
