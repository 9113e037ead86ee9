#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace cardmill::test {

TempDir::TempDir()
{
    // A name nobody else has: made with create_directory, which fails when the folder is there already.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const auto candidate =
            std::filesystem::temp_directory_path() / ("cardmill-test-" + std::to_string(random() % 100000000));
        if (std::filesystem::create_directory(candidate))
            m_path = candidate;
    }
    if (m_path.empty())
        throw std::runtime_error("no temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Give back write permission first, so that tests of read-only folders do not leave folders behind.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ec);
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view bytes) const
{
    const std::filesystem::path p = m_path / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::filesystem::path sharedDir()
{
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(CARDMILL_SHARED_DIR, ec);
    if (ec || !std::filesystem::is_directory(p / "corpus", ec))
        return {};
    return p;
}

std::string utf16Bytes(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xff);
        bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return bytes;
}

} // namespace cardmill::test
