#pragma once

#include "texts/Texts.h"

namespace cardmill {

// Qt's own texts (the standard buttons, the file and print dialogs) in the program's language, from Qt's
// translations (Debian's qt6-translations-l10n, or a "translations" folder beside the program). English needs
// none; a language whose translations are missing leaves Qt's texts in English. Returns whether they are in
// the language now.
bool useQtTranslations(Language language);

} // namespace cardmill
