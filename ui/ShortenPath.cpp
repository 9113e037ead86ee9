#include "ui/ShortenPath.h"

#include <algorithm>

namespace cardmill {

std::string ShortenPath(const std::string& path, std::size_t bound, char separator)
{
    std::string t = path;
    std::size_t n = static_cast<std::size_t>(std::count(t.begin(), t.end(), separator));
    while (t.size() > bound && n > 2) {
        const std::size_t h = n / 2;
        // The head runs up to and including the h-th separator.
        std::size_t cut = 0;
        for (std::size_t seen = 0; seen < h; ++cut)
            if (t[cut] == separator)
                ++seen;
        std::string tail = t.substr(cut);
        // Two folder levels go: everything up to and including the tail's second separator.
        std::size_t second = tail.find(separator);
        second = tail.find(separator, second + 1);
        tail.erase(0, second + 1);
        t = t.substr(0, cut) + "..." + separator + tail;
        --n;
    }
    return t;
}

} // namespace cardmill
