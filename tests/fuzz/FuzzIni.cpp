// Fuzzes the settings file reader and writer with arbitrary files.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "settings/IniFile.h"
#include "settings/Profiles.h"
#include "settings/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace cardmill;
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("cardmill-fuzz-" + std::to_string(getpid()) + ".ini");
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    const IniFile ini(path);
    const IniFile::Lines lines = ini.snapshot();
    for (const std::string& name : profileNames(ini))
        readProfile(lines, name);
    if (const std::vector<std::string> names = profileNames(ini); !names.empty())
        readProfile(ini, names.back());
    readUserFields(ini);
    readProgramOptions(ini);
    readLastProfile(ini);
    const std::string key(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    ini.writeString(key, key, key);
    if (ini.readString(key, key, "").empty() && !key.empty() && key.find_first_of("\r\n[]=;#") == std::string::npos &&
        key.find_first_not_of(" \t") != std::string::npos && key.front() != ' ' && key.back() != ' ' &&
        key.front() != '\t' && key.back() != '\t')
        __builtin_trap(); // a value just written must read back
    ini.eraseSection(key);
    return 0;
}
