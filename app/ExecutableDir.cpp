#include "app/ExecutableDir.h"

#include <system_error>

namespace cardmill {

const std::filesystem::path& executableDir()
{
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        return ec ? std::filesystem::current_path(ec) : exe.parent_path();
    }();
    return dir;
}

} // namespace cardmill
