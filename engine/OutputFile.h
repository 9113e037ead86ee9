#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

namespace cardmill {

class PartFile;

// A product of the run (a data-source file, the bad-records file) written under a temporary name in its folder
// and put in place by one rename when it is complete. Whatever was at the final name (an older file, a symbolic
// link to somewhere else) is replaced, never written through. Not committed, the temporary file goes.
class OutputFile {
public:
    // Throws IoError when a folder has the final name or the temporary file cannot be made.
    explicit OutputFile(std::filesystem::path target);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Throws IoError naming the final file.
    void write(std::string_view bytes);
    // Closes the file and renames it into place. Throws IoError.
    void commit();
    // Closes and removes the temporary file.
    void discard() noexcept;

    const std::filesystem::path& target() const { return m_target; }

private:
    std::filesystem::path m_target;
    std::unique_ptr<PartFile> m_part; // null once placed or discarded
    std::FILE* m_file = nullptr;
};

// Throws IoError when a folder stands at a name the run means to write.
void requireNoFolderAt(const std::filesystem::path& target);

// Removes an older product at `target` that this run does not replace: a file, or a link itself (never what
// it points to, never a folder). Failing quietly: what stays is only out of date.
void removeOlderOutput(const std::filesystem::path& target) noexcept;

} // namespace cardmill
