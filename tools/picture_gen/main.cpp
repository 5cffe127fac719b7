// picture_gen [source-root] [name ...]: writes the named pictures (all when none is named) as GIF
// files under the source root.
#include "Pictures.h"
#include "gif/GIFWriter.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <set>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts
    const std::string root = argc > 1 ? argv[1] : MW_SOURCE_DIR;
    std::set<std::string> wanted(argv + std::min(argc, 2), argv + argc);
    int written = 0;
    for (const PictureSpec& p : AllPictures()) {
        if (!wanted.empty() && !wanted.count(p.name)) continue;
        TBitmap bitmap(p.width, p.height, pf24bit);
        p.draw(bitmap.Canvas(), p.width, p.height);
        const std::filesystem::path file = std::filesystem::path(root) / p.file;
        std::filesystem::create_directories(file.parent_path());
        try {
            if (!GIFImage::SaveBitmapToGIFFile(file.string(), bitmap, false, false, clWhite)) {
                std::fprintf(stderr, "picture_gen: %s: more than 256 colours (error %d)\n", p.name.c_str(),
                             GIFImage::LastError());
                return 1;
            }
        } catch (const Exception& e) {
            std::fprintf(stderr, "picture_gen: %s: %s\n", p.name.c_str(), e.what());
            return 1;
        }
        std::printf("%s: %s (%d x %d)\n", p.name.c_str(), file.c_str(), p.width, p.height);
        ++written;
    }
    if (written == 0) {
        std::fprintf(stderr, "picture_gen: no such picture\n");
        return 1;
    }
    return 0;
}
