#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// LibreOffice as a converter, run as a child process. Every call uses a private user profile (one per
// instance, in the run's work folder, removed with it), so it neither disturbs nor waits for the user's own
// LibreOffice; several files go in one call; a call that outlives its time limit is killed.
class LibreOffice {
public:
    // The soffice program on the PATH (on Windows also where LibreOffice installs itself), or nullopt when
    // LibreOffice is not installed.
    static std::optional<std::filesystem::path> find();
    // The first of `names` in the folders of `searchPath` (a PATH value, `separator` between its folders), else
    // in the folders `installed`.
    static std::optional<std::filesystem::path> findIn(std::string_view searchPath, char separator,
                                                       const std::vector<std::string>& names,
                                                       const std::vector<std::filesystem::path>& installed);

    LibreOffice();
    ~LibreOffice();
    LibreOffice(const LibreOffice&) = delete;
    LibreOffice& operator=(const LibreOffice&) = delete;

    // Converts the files to `format` ("odt", "pdf") into `folder`, under their own names with the new extension.
    // `waiting` runs about ten times a second with the seconds passed, so that the caller stays responsive.
    // Throws std::runtime_error when LibreOffice is missing, fails, leaves a file unconverted or runs too long.
    void convert(const std::vector<std::filesystem::path>& files, const std::string& format,
                 const std::filesystem::path& folder, std::chrono::seconds timeLimit,
                 const std::function<void(int seconds)>& waiting);

private:
    std::filesystem::path m_profile;
};

} // namespace cardmill
