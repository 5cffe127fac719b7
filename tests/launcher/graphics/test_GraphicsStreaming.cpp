// The launcher's GIF picture ("Data") and icon list ("Icons") in the text form of a window's
// component stream.
#include "launcher/graphics/GraphicsStreaming.h"
#include "launcher/graphics/IcoList.h"
#include "launcher/graphics/QvGIF.h"

#include "AniWriter.h"
#include "GifTestSupport.h"
#include "support/StreamProperties.h"

#include <gtest/gtest.h>

using namespace gift;

namespace {

TEST(GraphicsStreaming, GifPictureDataRoundTrips)
{
    const Bytes gif = GiflibEncode(3, 3, {0, 1, 0, 1, 1, 0, 0, 0, 1}, Greys(2), false, false);
    QvGIF::TGIFImage picture;
    TMemoryStream m;
    m.WriteI32(static_cast<int32_t>(gif.size()));
    m.WriteBuffer(gif.data(), static_cast<int64_t>(gif.size()));
    m.SetPosition(0);
    picture.ReadData(m);
    const std::string text = WriteProperties([&](TFiler& f) { DefineProperties(picture, f); });
    ASSERT_NE(text.find("Data = <"), std::string::npos);
    QvGIF::TGIFImage back;
    ReadProperties([&](TFiler& f) { DefineProperties(back, f); }, text);
    EXPECT_EQ(back.Width(), 3);
    EXPECT_EQ(WriteProperties([&](TFiler& f) { DefineProperties(back, f); }), text);

    QvGIF::TGIFImage empty;
    EXPECT_EQ(WriteProperties([&](TFiler& f) { DefineProperties(empty, f); }).find("Data"), std::string::npos);
    EXPECT_THROW(ReadProperties([&](TFiler& f) { DefineProperties(empty, f); }, "C : TC {\n  Data = <E8030000>\n}\n"),
                 EReadError);
}

TEST(GraphicsStreaming, IconListRoundTripsAndIsStoredUnlessTheAncestorHoldsTheSameIcons)
{
    TIconList list;
    TIcon icon;
    icon.LoadFromBytes(aniw::IconFile(16, 32, 1));
    list.Add(icon);
    list.Add(TIcon());
    const std::string text = WriteProperties([&](TFiler& f) { DefineProperties(list, f); });
    ASSERT_NE(text.find("Icons = <"), std::string::npos);
    TIconList back;
    ReadProperties([&](TFiler& f) { DefineProperties(back, f); }, text);
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.GetIcon(0)->Bytes(), list.GetIcon(0)->Bytes());
    EXPECT_EQ(back.GetIcon(1), nullptr);
    // Against an ancestor that holds the very same icons nothing is stored, nor for an empty list.
    EXPECT_EQ(WriteProperties([&](TFiler& f) { DefineProperties(back, f, &back); }).find("Icons"), std::string::npos);
    EXPECT_NE(WriteProperties([&](TFiler& f) { DefineProperties(back, f, &list); }).find("Icons"), std::string::npos);
    TIconList empty;
    EXPECT_EQ(WriteProperties([&](TFiler& f) { DefineProperties(empty, f); }).find("Icons"), std::string::npos);
}

}  // namespace
