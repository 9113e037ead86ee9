#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace cardmill {

// An input/output failure on a named file: it abandons the run that met it, and its text reaches the user.
class IoError : public std::runtime_error {
public:
    IoError(const std::filesystem::path& path, const std::string& what);
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace cardmill
