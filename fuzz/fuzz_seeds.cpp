// Writes the seed corpus of the fuzz targets into <dir>/macro, <dir>/qgf and <dir>/launcher_ani:
// small sound files made by our own writers, and damaged copies of them.
#include "demo/MacroFile.h"
#include "tests/launcher/graphics/AniWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace Vantrel;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes ReadAll(const std::string& name)
{
    std::ifstream f(name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(f), {});
}

void WriteAll(const std::filesystem::path& name, const Bytes& b)
{
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

TQGEntry Entry(int32_t id, int n)
{
    TQGEntry e;
    e.id = id;
    e.title = "Demo " + std::to_string(id);
    for (int i = 0; i < n; ++i) {
        e.events.push_back({0x200u + uint32_t(i % 3), uint32_t(100 + i), uint32_t(200 - i), i * 20, 0x1234});
        TWindowIdentity w;
        SetText(w.className, i % 2 ? "TButton" : "TEdit");
        SetText(w.windowText, "Next >");
        w.ownerTag = i;
        w.originX = 10;
        w.originY = 20;
        SetText(w.parentClassName, "TFrmMain");
        SetText(w.parentText, "Mastwise");
        e.identities.push_back(w);
    }
    return e;
}

// Sound file, then damaged copies: cut short, a byte flipped, magic broken, count absurd.
void WriteFamily(const std::filesystem::path& dir, const std::string& stem, const Bytes& good)
{
    WriteAll(dir / (stem + "_sound"), good);
    WriteAll(dir / (stem + "_cut"), Bytes(good.begin(), good.begin() + std::ptrdiff_t(good.size() * 2 / 3)));
    Bytes flipped = good;
    flipped[flipped.size() / 2] ^= 0x5A;
    WriteAll(dir / (stem + "_flipped"), flipped);
    Bytes magic = good;
    magic[3] = '!';
    WriteAll(dir / (stem + "_magic"), magic);
    Bytes count = good;
    count[4] = 0xFF;
    count[5] = 0xFF;
    count[6] = 0x01;
    WriteAll(dir / (stem + "_count"), count);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <dir>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "macro");
    std::filesystem::create_directories(root / "qgf");
    const std::string scratch = (root / "scratch").string();

    for (int n : {0, 3, 12}) {
        const TQGEntry e = Entry(0, n);
        TMacroFile f(scratch);
        f.SaveMacro(e.events, e.identities, n);
        const Bytes good = ReadAll(scratch);
        if (n == 0) WriteAll(root / "macro" / "empty", good);
        else WriteFamily(root / "macro", "macro" + std::to_string(n), good);
    }
    WriteQGFile(scratch, {Entry(1, 4), Entry(2, 0), Entry(7, 9)});
    WriteFamily(root / "qgf", "qgf", ReadAll(scratch));
    WriteQGFile(scratch, {});
    WriteAll(root / "qgf" / "empty", ReadAll(scratch));
    std::filesystem::remove(scratch);

    // Animated cursors from the tests' writer: plain, with a sequence, with a cursor image.
    std::filesystem::create_directories(root / "launcher_ani");
    aniw::AniSpec plain;
    plain.Icons = {aniw::IconFile(8, 32, 1), aniw::IconFile(8, 8, 2)};
    plain.Rates = {3, 4};
    plain.Title = "seed";
    WriteFamily(root / "launcher_ani", "plain", aniw::AniFile(plain));
    aniw::AniSpec sequence = plain;
    sequence.Icons.push_back(aniw::IconFile(4, 4, 3, true, 1, 2));
    sequence.Sequence = {0, 2, 1, 2};
    sequence.Rates = {1, 2, 3, 4};
    WriteFamily(root / "launcher_ani", "sequence", aniw::AniFile(sequence));
    return 0;
}
