#include "engine/Clock.h"

namespace cardmill {

std::tm localTime(std::time_t t)
{
    std::tm out{};
#ifdef _WIN32
    ::localtime_s(&out, &t);
#else
    ::localtime_r(&t, &out);
#endif
    return out;
}

std::tm utcTime(std::time_t t)
{
    std::tm out{};
#ifdef _WIN32
    ::gmtime_s(&out, &t);
#else
    ::gmtime_r(&t, &out);
#endif
    return out;
}

} // namespace cardmill
