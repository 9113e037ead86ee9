#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cardmill {

// What the dialogs refuse, decided without any window.

// Why a name cannot be a profile's: the settings file holds it as a section header "[name]", so it cannot
// hold "[" or "]" nor control characters, keeps no blank at either end, and cannot be one of the file's own
// sections.
enum class ProfileNameProblem { None, Empty, Brackets, Blanks, Control, Reserved };
ProfileNameProblem checkProfileName(std::string_view name);

// Why a name cannot join the user-defined field list (the name in capitals, as the list keeps it).
// A name must be an ADIF 3.1.4 QSO field, an application's field (APP_...) or a user-defined one (USERDEF...).
enum class UserFieldProblem { None, Empty, Blanks, Fixed, Twice, Unknown };
UserFieldProblem checkUserField(std::string_view name, const std::vector<std::string>& list);

// The QSO field names of ADIF 3.1.4, for completing a field name as it is typed.
const std::vector<std::string_view>& adifFieldNames();

} // namespace cardmill
