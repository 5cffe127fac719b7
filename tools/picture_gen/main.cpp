// picture_gen [source-root] [name ...]: writes the named pictures (all when none is named) as GIF
// files under the source root.
#include "Pictures.h"
#include "gif/GIFWriter.h"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

namespace {

// The frames drawn, then written as one job: an animation of frames at the top left corner,
// sharing one colour table where they can.
bool WritePicture(const PictureDef& p, const std::string& file)
{
    std::vector<std::unique_ptr<TBitmap>> bitmaps;
    for (const FrameDef& f : p.frames) {
        bitmaps.push_back(std::make_unique<TBitmap>(f.width, f.height, pf24bit));
        f.draw(bitmaps.back()->Canvas(), f.width, f.height);
    }
    if (bitmaps.size() == 1) return GIFImage::SaveBitmapToGIFFile(file, *bitmaps[0], false, false, clWhite);
    std::vector<GIFImage::TFrameInfo> infos(bitmaps.size());
    GIFImage::TGIFWriteJob job;
    job.FrameCount = static_cast<int32_t>(bitmaps.size());
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        infos[i].Bitmap = bitmaps[i].get();
        infos[i].Width = bitmaps[i]->Width();
        infos[i].Height = bitmaps[i]->Height();
        infos[i].Delay = p.delay;
        infos[i].Disposal = p.disposal;
        job.Frames[i] = &infos[i];
    }
    TMemoryStream stream;
    if (!GIFImage::WriteGIFStream(job, stream)) return false;
    stream.SaveToFile(file);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts
    const std::string root = argc > 1 ? argv[1] : MW_SOURCE_DIR;
    std::set<std::string> wanted(argv + std::min(argc, 2), argv + argc);
    int written = 0;
    for (const PictureDef& p : AllPictures()) {
        if (!wanted.empty() && !wanted.count(p.name)) continue;
        const std::filesystem::path file = std::filesystem::path(root) / p.file;
        std::filesystem::create_directories(file.parent_path());
        try {
            if (!WritePicture(p, file.string())) {
                std::fprintf(stderr, "picture_gen: %s: more than 256 colours (error %d)\n", p.name.c_str(),
                             GIFImage::LastError());
                return 1;
            }
        } catch (const Exception& e) {
            std::fprintf(stderr, "picture_gen: %s: %s\n", p.name.c_str(), e.what());
            return 1;
        }
        std::printf("%s: %s (%zu frame%s)\n", p.name.c_str(), file.c_str(), p.frames.size(),
                    p.frames.size() == 1 ? "" : "s");
        ++written;
    }
    if (written == 0) {
        std::fprintf(stderr, "picture_gen: no such picture\n");
        return 1;
    }
    return 0;
}
