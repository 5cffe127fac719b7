#include "FakePrintDevice.h"
#include "RecordBytes.h"

#include "report/output/RpxOutput.h"
#include "report/output/RpxText.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TRpxFont Arial(int size = 10)
{
    TRpxFont f;
    f.Name = "Arial";
    f.Size = size;
    return f;
}

} // namespace

TEST(RpxRecording, ObjectTableAndPageLayoutAreByteExact)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    TRpxCanvas& c = out.Canvas();
    c.SetFont(Arial());
    c.SetFont(Arial());   // the same entry again
    TRpxFont lower = Arial();
    lower.Name = "arial";  // case makes a different face
    c.SetFont(lower);
    c.SetPen(TRpxPen{0x0000FF, rpsDash, 2, rpmCopy});
    c.TextOut(10, 20, "Hi");
    out.AdvancePage();
    c.LineTo(40000, -40000);
    out.EndOutput();

    auto& doc = *out.Document;
    ASSERT_EQ(doc.Objects.size(), 3u);
    EXPECT_EQ(doc.Objects[0].Kind, rokFont);
    EXPECT_EQ(doc.Objects[1].Kind, rokFont);
    EXPECT_EQ(doc.Objects[2].Kind, rokPen);

    TRecordBytes font;
    font.I32(0).I16(10).U8(0).U8(0).U8(0).I16(0).I16(400).U8(1).U8(0).U8(0).U8(0).U8(0);
    std::string face = "Arial";
    face.resize(32, '\0');
    font.W.String(face);
    EXPECT_EQ(doc.Objects[0].Payload, font.Bytes());
    EXPECT_EQ(doc.Objects[2].Payload, (TRecordBytes().I32(0xFF).U8(rpsDash).I16(2).U8(rpmCopy).Bytes()));

    TRecordBytes e;
    e.Setup(*doc.PrinterSetup).Code(5);
    e.Code(4).I16(0).Code(4).I16(0).Code(4).I16(1).Code(4).I16(2);
    e.Code(21).I16(10).I16(20).Str("Hi");
    e.Code(6);
    const auto page2 = static_cast<int32_t>(e.W.Position());
    e.Setup(*doc.PrinterSetup).Code(5).Code(4).I16(1).Code(4).I16(2);
    e.Code(24).I16(32767).I16(-32768);
    e.Code(6);
    EXPECT_EQ(StreamBytes(*doc.Stream), e.Bytes());
    ASSERT_EQ(doc.PageCount(), 2);
    EXPECT_EQ(doc.Pages.Get(0), 0);
    EXPECT_EQ(doc.Pages.Get(1), page2);
    EXPECT_FALSE(doc.Recording);
    EXPECT_EQ(doc.Progress, 100.0f);
}

TEST(RpxRecording, IndexesAreSharedAcrossKindsInOrderOfFirstUse)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    TRpxCanvas& c = out.Canvas();
    c.SetBrush(TRpxBrush{0xFFFFFF, rbsSolid});
    c.SetPen(TRpxPen{});
    c.SetFont(Arial());
    c.SetBrush(TRpxBrush{0xFFFFFF, rbsSolid});
    c.SetBrush(TRpxBrush{0xC0C0C0, rbsSolid});
    out.EndOutput();
    auto& doc = *out.Document;
    ASSERT_EQ(doc.Objects.size(), 4u);
    EXPECT_EQ(doc.Objects[0].Kind, rokBrush);
    EXPECT_EQ(doc.Objects[1].Kind, rokPen);
    EXPECT_EQ(doc.Objects[2].Kind, rokFont);
    EXPECT_EQ(doc.Objects[3].Kind, rokBrush);
    EXPECT_EQ(doc.CurrentRecordBrush, 3);
}

TEST(RpxRecording, EncodersWriteTheirOperandsInOrder)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    auto& doc = *out.Document;
    const int64_t start = doc.Stream->Position();
    TRpxCanvas& c = out.Canvas();
    c.SetTextAlign(TA_RIGHT | TA_BASELINE);
    c.MoveTo(-5, 7);
    c.TextRect({1, 2, 3, 4}, 5, 6, "\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD");   // é € and a character 1252 lacks
    c.FillRect({1, 2, 3, 4});
    c.ShadeRect({1, 2, 3, 4}, 3);
    c.TextInRect({1, 2, 3, 4}, 5, {0, 0, 9, 9}, true, "a b", 6);
    c.CheckBox({1, 2, 3, 4}, 1, 2, 0x123456);
    c.DrawGraphic(1, 2, 1, {});   // empty: nothing at all
    c.DrawGraphic(1, 2, 1, {'B', 'M'});
    c.StretchGraphic({1, 2, 3, 4}, 3, {7});
    TMemoryStream bmp;
    bmp.WriteBuffer("BMxy", 4);
    c.DrawBitmap(8, 9, &bmp);
    c.StretchBitmap({1, 2, 3, 4}, &bmp);
    c.DrawBitmap(8, 9, nullptr);
    TRecordBytes tail;
    tail.Code(38).I16(8).I16(9).I32(4);
    tail.W.String("BMxy");
    tail.Code(39).Rect(1, 2, 3, 4).I32(4);
    tail.W.String("BMxy");
    TRecordBytes head;
    head.Code(20).I16(TA_RIGHT | TA_BASELINE);
    head.Code(23).I16(-5).I16(7);
    head.Code(27).Rect(1, 2, 3, 4).I16(5).I16(6).Str("\xE9\x80?");
    head.Code(28).Rect(1, 2, 3, 4);
    head.Code(34).Rect(1, 2, 3, 4).I16(3);
    head.Code(37).Rect(1, 2, 3, 4).I16(5).I16(6).Str("a b").U8(1).Rect(0, 0, 9, 9);
    head.Code(41).Rect(1, 2, 3, 4).I16(1).I32(0x123456).I16(2);
    head.Code(32).I16(1).I16(2).I16(1).I32(2).U8('B').U8('M');
    head.Code(33).Rect(1, 2, 3, 4).I16(3).I32(1).U8(7);
    head.W.Bytes(tail.Bytes());
    const auto all = StreamBytes(*doc.Stream);
    EXPECT_EQ(std::vector<uint8_t>(all.begin() + start, all.end()), head.Bytes());
    out.EndOutput();
}

TEST(RpxRecording, ModeThreeRecordsNothing)
{
    TRpxOutput out;
    out.SetOutputMode(3);
    out.BeginOutput();
    out.Canvas().SetFont(Arial());
    out.Canvas().TextOut(1, 1, "x");
    out.AdvancePage();
    out.EndOutput();
    EXPECT_EQ(out.Document, nullptr);
}

TEST(RpxRecording, AbortEndsTheDocumentSoItPlays)
{
    TRpxOutput out;
    out.SetOutputMode(1);
    out.BeginOutput();
    out.Canvas().SetFont(Arial());
    out.Canvas().TextOut(1, 2, "partial");
    out.AbortOutput();
    auto& doc = *out.Document;
    EXPECT_FALSE(doc.Recording);
    const auto bytes = StreamBytes(*doc.Stream);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(LoadLE16(bytes.data() + bytes.size() - 2), 6);
    TRpxRecordingDevice dev;
    doc.PlayPage(dev, 1);
    ASSERT_EQ(dev.Count("text"), 1u);
    EXPECT_NE(dev.Calls[0].find("'partial'"), std::string::npos);
}

TEST(RpxRecording, TitleIsCutAndSaveOnEndAppliesInModeOneOnly)
{
    mwtest::TempDir dir;
    const std::string file = dir.File("report.rpx");
    for (uint8_t mode : {uint8_t(1), uint8_t(2)}) {
        std::filesystem::remove(file);
        TRpxOutput out;
        out.SetOutputMode(mode);
        out.FileName = file;
        out.Title = std::string(150, 'T');
        out.BeginOutput();
        EXPECT_EQ(out.Document->Title.size(), 100u);
        out.Canvas().TextOut(1, 1, "x");
        out.EndOutput();
        EXPECT_EQ(std::filesystem::exists(file), mode == 1) << int(mode);
        if (mode == 1) {
            TRpxRpxFile loaded;
            loaded.LoadFromFile(file);
            EXPECT_EQ(loaded.Title, std::string(100, 'T'));
            EXPECT_EQ(loaded.PageCount(), 1);
        }
    }
}

namespace {

struct TFakeViewer : TRpxOutputViewer {
    void GenerationStarted(std::shared_ptr<TRpxRpxFile> d) override { document = std::move(d); }
    void GenerationEnded() override { ended = true; }
    std::shared_ptr<TRpxRpxFile> document;
    bool ended = false;
};

} // namespace

TEST(RpxRecording, ModeTwoSharesItsDocumentWithTheViewer)
{
    auto viewer = std::make_shared<TFakeViewer>();
    RpxViewerFactory = [viewer] { return viewer; };
    {
        TRpxOutput out;
        out.SetOutputMode(2);
        out.BeginOutput();
        ASSERT_EQ(viewer->document, out.Document);
        EXPECT_TRUE(viewer->document->Recording);
        out.Canvas().TextOut(1, 1, "x");
        out.EndOutput();
        EXPECT_TRUE(viewer->ended);
        EXPECT_EQ(out.Document, nullptr);
    }
    RpxViewerFactory = nullptr;
    ASSERT_NE(viewer->document, nullptr);
    EXPECT_FALSE(viewer->document->Recording);
    EXPECT_EQ(viewer->document->PageCount(), 1);
}

TEST(RpxRecording, ModeZeroDrawsOnThePrinterWithThePageOrigin)
{
    TFakePrintDevice printer;
    TRpxOutput out(&printer);
    out.SetOutputMode(0);
    out.Title = "Job";
    out.PrinterSetup->LeftOffset = 0.25;
    out.PrinterSetup->TopOffset = 0.5;
    out.BeginOutput();
    EXPECT_EQ(out.PixelsPerInchX, 600);
    EXPECT_EQ(printer.Device().Font().FaceName, "System");   // stock objects after attaching
    EXPECT_EQ(printer.Device().ViewportOrg(), (TRpxPoint{-150, -300}));
    TRpxCanvas& c = out.Canvas();
    TRpxFont f = Arial(12);
    f.Color = 0xFF;
    c.SetFont(f);
    EXPECT_EQ(printer.Device().Font().Height, -100);
    EXPECT_EQ(printer.Device().TextColor(), 0xFF);
    c.TextOut(150, 300, "a");
    out.AdvancePage();
    EXPECT_EQ(printer.Device().ViewportOrg(), (TRpxPoint{-150, -300}));
    EXPECT_EQ(printer.Device().Font().Height, -100);   // re-selected on the new page
    c.FillRect({0, 0, 10, 10});   // the null brush fills nothing
    c.SetBrush(TRpxBrush{0xFFFFFF, rbsSolid});
    c.FillRect({0, 0, 10, 10});
    out.EndOutput();
    EXPECT_EQ(printer.Log, (std::vector<std::string>{"begin Job", "end page", "start", "end doc"}));
    const auto pages = printer.Pages();
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(pages[0][0].substr(0, 10), "text 0,0 '");
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_EQ(pages[1][0], "fill -150,-300,-140,-290 s0 c16777215");
}

TEST(RpxText, Windows1252BothWays)
{
    EXPECT_EQ(Utf8ToCp1252("A\xC3\xA9\xE2\x82\xAC\xE2\x80\x94\xF0\x9F\x98\x80"), "A\xE9\x80\x97?");
    EXPECT_EQ(Cp1252ToUtf8("A\xE9\x80\x97"), "A\xC3\xA9\xE2\x82\xAC\xE2\x80\x94");
    EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");   // a cut sequence
}
