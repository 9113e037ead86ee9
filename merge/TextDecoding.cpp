#include "merge/TextDecoding.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

#include <utf8.h>

namespace cardmill {

namespace {

// glibc's converter: one descriptor per thread of use, closed when the thread ends (the desktop program runs
// each conversion on a thread of its own).
class Cp1250Converter {
public:
    Cp1250Converter()
        : m_cd(iconv_open("UTF-8", "CP1250"))
    {
    }
    ~Cp1250Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Cp1250Converter(const Cp1250Converter&) = delete;
    Cp1250Converter& operator=(const Cp1250Converter&) = delete;
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

std::string decodeValue(std::string_view bytes)
{
    if (utf8::is_valid(bytes.begin(), bytes.end()))
        return std::string(bytes);
    thread_local const Cp1250Converter converter;
    const iconv_t cd = converter.get();
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("The Windows-1250 converter is not available");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A byte that Windows-1250 leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98): the replacement character.
        ++in;
        --inLeft;
        if (outLeft >= 3) {
            *o++ = '\xEF';
            *o++ = '\xBF';
            *o++ = '\xBD';
            outLeft -= 3;
        }
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace cardmill
