#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace cardmill::test {

// A fresh folder under the system's temporary folder, removed with everything in it when destroyed.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    // Writes `bytes` to the file `name` in the folder and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// `text` as UTF-16 with a byte-order mark, little-endian or big-endian.
std::string utf16Bytes(const std::u16string& text, bool bigEndian);

// The folder of shared real-world samples, or empty when it is not beside the project.
std::filesystem::path sharedDir();

} // namespace cardmill::test
