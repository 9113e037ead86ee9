#include "support/PdfReadBack.h"

#include <cstdio>
#include <cstdlib>
#include <regex>
#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace cardmill::test {

std::vector<Word> wordsOf(const std::filesystem::path& pdf)
{
    const std::string command = "pdftotext -bbox '" + pdf.string() + "' - 2>/dev/null";
    std::vector<Word> words;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return words;
    std::string html;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        html.append(buffer, n);
    pclose(pipe);
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    int pageNo = -1;
    for (std::size_t at = 0; at < html.size();) {
        const std::size_t nextPage = html.find("<page ", at), nextWord = html.find("<word ", at);
        if (nextWord == std::string::npos)
            break;
        if (nextPage < nextWord) {
            ++pageNo;
            at = nextPage + 1;
            continue;
        }
        std::smatch m;
        const std::string rest = html.substr(nextWord, 300);
        if (std::regex_search(rest, m, word))
            words.push_back({pageNo, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
        at = nextWord + 1;
    }
    return words;
}

const char* withoutPoppler()
{
#ifdef _WIN32
    return "POSIX only: the PDFs are read back by poppler's pdftotext through a POSIX shell";
#else
    return std::system("pdftotext -v >/dev/null 2>&1") == 0 ? nullptr : "poppler-utils is not installed";
#endif
}

std::string commandOutput(const std::string& command)
{
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    pclose(pipe);
    return out;
}

int exitCodeOf(const std::string& command)
{
    const int status = std::system(command.c_str());
#ifdef _WIN32
    return status;
#else
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

bool commandRuns(const std::string& command)
{
#ifdef _WIN32
    (void)command;
    return false;
#else
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
#endif
}

} // namespace cardmill::test
