// Where the user's own demonstrations (macro files) live.
#pragma once

#include <string>

// "Macros" in the program folder, made when missing; when the program folder cannot be
// written (an installed program), "mastwise/Macros" in the user's data folder. No trailing "/".
std::string MacroFolder();
