// The animated GIF control's "Data" property in the text form of a window's component stream.
#include "gif/GIFImage.h"
#include "gif/GIFImageStreaming.h"

#include "support/StreamProperties.h"

#include "platform/runtime/ByteIO.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using GIFImage::TGIFImage;

namespace {

std::string Write(TGIFImage& control)
{
    return WriteProperties([&](TFiler& f) { GIFImage::DefineProperties(control, f); });
}

void Read(TGIFImage& control, const std::string& text)
{
    ReadProperties([&](TFiler& f) { GIFImage::DefineProperties(control, f); }, text);
    control.Loaded();
}

// A committed picture of the planner, written by our own GIF writer.
std::vector<uint8_t> Picture()
{
    std::ifstream in(MW_SOURCE_DIR "/planner/resources/pictures/StopDemo.gif", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(GIFImageStreaming, DataIsWrittenAsHexOfTheCountedGifAndReadBack)
{
    const std::vector<uint8_t> gif = Picture();
    TGIFImage image;
    ASSERT_TRUE(image.LoadGIFBytes(gif));
    ASSERT_GE(image.FrameCount(), 1);
    const std::string text = Write(image);
    ASSERT_NE(text.find("Data = <"), std::string::npos);
    // An int32 length (little-endian) ahead of the file.
    const std::vector<uint8_t> data = ParseStreamText(text).properties.at(0).value.bytes;
    ASSERT_EQ(data.size(), gif.size() + 4);
    EXPECT_EQ(LoadLE32(data.data()), gif.size());
    EXPECT_TRUE(std::equal(gif.begin(), gif.end(), data.begin() + 4));
    TGIFImage copy;
    Read(copy, text);
    EXPECT_EQ(copy.FrameCount(), image.FrameCount());
    EXPECT_EQ(copy.LogicalWidth(), image.LogicalWidth());
    EXPECT_EQ(Write(copy), text);
}

TEST(GIFImageStreaming, AnEmptyControlWritesNoDataAndLengthsOfZeroOrLessReadNothing)
{
    TGIFImage empty;
    EXPECT_EQ(Write(empty).find("Data"), std::string::npos);
    for (const char* data : {"<00000000>", "<FFFFFFFF>"}) {
        TGIFImage image;
        Read(image, std::string("G : TGIFImage {\n  Data = ") + data + "\n}\n");
        EXPECT_FALSE(image.HasData()) << data;
    }
    TGIFImage cut;
    EXPECT_THROW(Read(cut, "G : TGIFImage {\n  Data = <0900000047>\n}\n"), EReadError);
    EXPECT_THROW(Read(cut, "G : TGIFImage {\n  Data = \"GIF89a\"\n}\n"), Exception);
}

}  // namespace
