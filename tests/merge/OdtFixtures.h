#pragma once

#include <filesystem>
#include <string>

namespace cardmill::test {

// A database field of LibreOffice's, with its cached text "<COLUMN>".
std::string display(const std::string& column);
// A next-record field with its condition.
std::string next(const std::string& condition = "ooow:TRUE");
// A minimal OpenDocument text main document: `body` is the content of office:text after its declarations,
// `masterPage` the content of the master page "Standard" (a header, say), `styles` automatic styles.
void writeOdt(const std::filesystem::path& path, const std::string& body, const std::string& masterPage = "",
              const std::string& styles = "");
// One line per paragraph of the body, "|" before a copy that starts a new page.
std::string bodyText(const std::filesystem::path& odt);

} // namespace cardmill::test
