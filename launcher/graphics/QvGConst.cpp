#include "launcher/graphics/QvGConst.h"

#include "platform/runtime/StrTable.h"

#include <algorithm>
#include <iterator>

namespace {
// Constant-initialised, so the texts are there before any registration runs.
constexpr TStrTableEntry kTexts[] = {
    {61092, "Unknown GIF version"},
    {61093, "GIF image encoding error"},
    {61094, "GIF encoded data is corrupt"},
    {61095, "GIF code size not in range 2 to 9"},
    {61096, "Wrong number of colors; must be a power of 2"},
    {61097, "Unrecognized extension block: %.2x"},
    {61098, "No GIF Data to write"},
    {61099, "Cannot change the Size of a GIF image"},
    {61100, "CompuServe GIF Image"},
    {61257, "Function not yet implemented"},
};
constexpr TStringTable kTable{"QvGConst", kTexts, std::size(kTexts)};
const TStringTableRegistration kRegistration(kTable);
} // namespace

namespace QvGIF {

std::string GIFText(int32_t id)
{
    const auto* e = std::find_if(std::begin(kTexts), std::end(kTexts), [&](const TStrTableEntry& t) { return t.id == id; });
    return e != std::end(kTexts) ? std::string(e->text) : std::string();
}

} // namespace QvGIF
