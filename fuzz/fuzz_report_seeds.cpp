// Writes the seed corpus of the report targets into <dir>/rpx and <dir>/picture: documents
// recorded by our own recorder and pictures in every pixel layout the reader knows.
#include "report/output/RpxOutput.h"
#ifdef MW_REPORT_RTF
#include "report/DaxPageSetup.h"
#include "report/rtf/DaxRtf.h"
#endif

#include "platform/runtime/ByteIO.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {

void WriteAll(const std::filesystem::path& name, const Bytes& b)
{
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// A small BMP: bits per pixel, with a colour table for the indexed layouts.
Bytes Bmp(int bits, int width, int height)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const int stride = ((width * bits + 31) / 32) * 4;
    TByteWriter w;
    w.U16(19778);
    w.U32(uint32_t(14 + 40 + colours * 4 + stride * height));
    w.U32(0);
    w.U32(uint32_t(14 + 40 + colours * 4));
    w.U32(40);
    w.I32(width);
    w.I32(height);
    w.U16(1);
    w.U16(uint16_t(bits));
    w.U32(0);
    w.U32(uint32_t(stride * height));
    w.I32(3780);
    w.I32(3780);
    w.U32(0);
    w.U32(0);
    for (int i = 0; i < colours; ++i) w.U32(uint32_t(i * 0x010101 * (255 / std::max(1, colours - 1))));
    for (int i = 0; i < stride * height; ++i) w.U8(uint8_t(i * 37));
    return w.TakeBytes();
}

Bytes Jpeg(int width, int height)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr e{};
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    while (c.next_scanline < c.image_height) {
        for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i * 7 + c.next_scanline * 3);
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    Bytes b(out, out + size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return b;
}

Bytes Report(const Bytes& bmp, const Bytes& jpeg)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.Title = "Seed";
    out.BeginOutput();
    TRpxCanvas& c = out.Canvas();
    c.SetFont(TRpxFont{});
    c.SetBrush(TRpxBrush{0xC0C0C0, rbsSolid});
    c.SetPen(TRpxPen{0, rpsDot, 2, rpmCopy});
    c.TextOut(10, 10, "Line loss");
    c.TextRect({0, 0, 50, 20}, 2, 2, "clipped");
    c.FillRect({0, 30, 40, 40});
    c.ShadeRect({0, 50, 40, 60}, 2);
    c.TextInRect({0, 70, 200, 90}, 0, {0, 70, 200, 90}, false, "a justified line", 70);
    c.CheckBox({0, 100, 10, 110}, 1, 1, 0);
    out.AdvancePage();
    c.MoveTo(0, 0);
    c.LineTo(100, 100);
    c.SetTextAlign(TA_RIGHT);
    c.DrawGraphic(10, 10, 3, jpeg);
    c.StretchGraphic({0, 0, 20, 20}, 1, bmp);
    TMemoryStream s;
    s.WriteBuffer(bmp.data(), int64_t(bmp.size()));
    c.DrawBitmap(5, 5, &s);
    out.EndOutput();
    TMemoryStream m;
    out.Document->SaveToStream(m);
    return m.Bytes();
}

#ifdef MW_REPORT_RTF
// A report as our RTF writer makes it: fonts, tab stops, a box, an underline, a page break,
// escapes and the page setup.
void WriteRtfSeed(const std::filesystem::path& name)
{
    TDaxRtfFile f(name.string());
    TDaxPageSetup ps;
    ps.SetOrientation(poLandscape);
    ps.SetSize(psA4);
    f.SetPageSetup(ps);
    TRpxFont bold;
    bold.Name = "Times New Roman";
    bold.Bold = true;
    bold.PitchAndFamily = 18;
    for (int row = 0; row < 4; ++row) {
        f.BorderBottom = row >= 2;
        f.BeginBorder();
        f.PageBreakPending = row == 2;
        f.StartParagraph();
        f.AddTabStop(1440, 0);
        f.AddTabStop(4320, row % 3);
        f.SelectFont(bold);
        f.Tab();
        f.WriteText("Row {" + std::to_string(row) + "} \\ caf\xC3\xA9 \xCE\xA9");
        f.SelectFont(RtfDefaultFont());
        f.Tab();
        f.WriteText("value");
        f.EndParagraph();
        f.EndBorder();
    }
    f.Finish();
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_report_seeds <dir>\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    std::filesystem::create_directories(root / "rpx");
    std::filesystem::create_directories(root / "picture");
    for (int bits : {1, 4, 8, 16, 24, 32}) WriteAll(root / "picture" / ("bmp" + std::to_string(bits)), Bmp(bits, 5, 3));
    const Bytes jpeg = Jpeg(9, 7);
    WriteAll(root / "picture" / "jpeg", jpeg);
    const Bytes report = Report(Bmp(8, 4, 4), jpeg);
    WriteAll(root / "rpx" / "report", report);
    WriteAll(root / "rpx" / "report_cut", Bytes(report.begin(), report.begin() + std::ptrdiff_t(report.size() * 2 / 3)));
#ifdef MW_REPORT_RTF
    std::filesystem::create_directories(root / "rtf");
    WriteRtfSeed(root / "rtf" / "report");
#endif
    return 0;
}
