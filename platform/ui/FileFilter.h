// File-dialog filters written as "Macro files (*.mcr)|*.MCR|All files|*.*": pairs of a
// description and a ";"-separated pattern list. Patterns match without regard to case.
#pragma once

#include <string>
#include <vector>

struct TFileFilter {
    std::string Description;
    std::vector<std::string> Patterns;
};

// Splits a filter into its pairs. A trailing description without patterns gets "*".
std::vector<TFileFilter> ParseFileFilter(const std::string& filter);

// One Qt name filter per pair: the description as written, followed by the patterns in a
// case-blind form ("*.[mM][cC][rR]") that Qt's dialog strips from what it shows.
std::vector<std::string> QtNameFilters(const std::string& filter);

// True when the file name (without folder) matches one of the patterns ("*" and "?"),
// compared without regard to case.
bool MatchesFileFilter(const std::string& fileName, const std::vector<std::string>& patterns);

// The name with ".ext" added when it has no extension (and ext is not empty).
std::string AddDefaultExt(const std::string& fileName, const std::string& ext);
