// The shell: starting programs and opening web addresses.
#pragma once

#include "platform/runtime/SysUtils.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Splits a parameter string into arguments as a POSIX shell splits words, without any
// expansion: blanks separate arguments; '...' keeps everything literally; inside "..." a
// backslash escapes only $ ` " \ and a line break; outside quotes a backslash escapes any
// character; "" and '' give an empty argument. No variables, wildcards or "~" are expanded
// and ; | & < > are ordinary characters. EConvertError for an unclosed quote or a trailing
// backslash.
std::vector<std::string> SplitParameters(std::string_view parameters);

// Starts fileName with its parameters (split as above) in directory (the current one when
// empty), detached from this program. False when the file is not an executable program,
// the folder does not exist, the parameters cannot be split, or the start fails; why, when
// given, then receives the cause in words a user can act on.
bool ShellExecuteOpen(const std::string& fileName, const std::string& parameters, const std::string& directory,
                      std::string* why = nullptr);

// Opens a web address (or a file) in the user's preferred program. The opener in force does
// it: by default the desktop's "xdg-open"; a program with a window puts in the desktop
// services, and tests a recorder.
bool ShellOpenURL(const std::string& url);

using TUrlOpener = std::function<bool(const std::string& url)>;
// Puts an opener in force and returns the one it replaces (an empty one restores the default).
TUrlOpener SetUrlOpener(TUrlOpener opener);
