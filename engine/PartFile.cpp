#include "engine/PartFile.h"

#include <atomic>
#include <string>
#include <unistd.h>

namespace cardmill {

std::filesystem::path partPathFor(const std::filesystem::path& target)
{
    static std::atomic<unsigned> counter{0};
    std::filesystem::path p = target;
    p += ".part-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return p;
}

} // namespace cardmill
