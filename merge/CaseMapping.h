#pragma once

namespace cardmill {

// Simple (one to one) case mapping of the letters names and places are written in: Latin (Basic, Latin-1,
// Extended-A, Extended Additional), the Greek alphabet and Cyrillic, the same on every system and in every
// locale. Other characters stay as they are.
char32_t upperCase(char32_t c);
char32_t lowerCase(char32_t c);

} // namespace cardmill
