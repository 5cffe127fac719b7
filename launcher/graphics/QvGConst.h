// The texts of the launcher's graphics library (string ids 61092 to 61100 and 61257), linked
// into the program's string tables and readable before any other table is registered.
#pragma once

#include <cstdint>
#include <string>

namespace QvGIF {

enum : int32_t {
    sGIFUnknownVersion = 61092,
    sGIFEncodingError = 61093,
    sGIFCorrupt = 61094,
    sGIFCodeSize = 61095,
    sGIFWrongColorCount = 61096,
    sGIFUnknownExtension = 61097,
    sGIFNoData = 61098,
    sGIFCannotResize = 61099,
    sGIFDescription = 61100,
    sNotImplemented = 61257,
};

// The text of id ("" for an id the library does not have).
std::string GIFText(int32_t id);

} // namespace QvGIF
