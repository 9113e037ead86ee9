#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "stock/Design.h"

namespace cardmill {

// The design a run draws with when none is chosen: the program's QSL label.
inline constexpr std::string_view kDefaultDesign = "label";
// The design of SWL labels when a design has none of its own.
inline constexpr std::string_view kSwlDesign = "swl";

// The designs shipped with the program, by the names the command line and the windows know them by.
const std::vector<std::string>& builtInDesignNames();

// A built-in design's name, or a design file's path (one with a folder or ending in ".json"); empty: the default
// design. Throws DesignError (UnknownDesign for a name that is none).
Design loadDesign(const std::string& nameOrPath);
// Whether `nameOrPath` names a design file rather than a built-in design.
bool isDesignFile(std::string_view nameOrPath);

// A design from the text of a design file; `file` names it in messages, `folder` is where its pictures are.
// Throws DesignError.
Design parseDesign(std::string_view json, const std::string& file, const std::filesystem::path& folder);

// The text of a design file: parseDesign reads it back equal.
std::string designJson(const Design& design);

// Writes the design to `file` so that a reader sees the old file or the new one; false, with the system's
// words in `error`, when it cannot.
bool writeDesignFile(const Design& design, const std::filesystem::path& file, std::string& error);

// The most a design file may hold.
inline constexpr std::size_t kMaxDesignFileBytes = 4 * 1024 * 1024;

} // namespace cardmill
