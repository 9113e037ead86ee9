#include "engine/IoError.h"

namespace cardmill {

IoError::IoError(const std::filesystem::path& path, const std::string& what)
    : std::runtime_error(what + ": \"" + path.string() + "\"")
    , m_path(path)
{
}

} // namespace cardmill
