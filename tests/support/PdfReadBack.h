#pragma once

// PDFs read back by poppler's tools and the pictures in them by zbar's: what a reader of the file finds.
#include <filesystem>
#include <string>
#include <vector>

namespace cardmill::test {

struct Word {
    int page;
    double x0, y0, x1, y1;
    std::string text;
};

// The words of a PDF with their boxes (points from the page's top left corner), as pdftotext -bbox gives them.
std::vector<Word> wordsOf(const std::filesystem::path& pdf);

// Why the PDFs cannot be read back here, or nothing when they can.
const char* withoutPoppler();

// What a shell command writes on its standard output (its errors dropped); empty when it cannot run.
std::string commandOutput(const std::string& command);

// The exit code of a shell command (its output going where the command sends it).
int exitCodeOf(const std::string& command);

// Whether a program answers on this machine (`command` runs it harmlessly, such as "zbarimg --version").
bool commandRuns(const std::string& command);

} // namespace cardmill::test
