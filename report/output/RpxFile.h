// The report document (report/output, no Qt): pages of drawing records with a shared table
// of fonts, pens and brushes and a printer setup per page; its recorder, the ".rpx" file that
// stores it, and the player that draws a page on any device at any resolution and zoom.
//
// ".rpx" layout (little-endian): "RPX", i32 101071, f32 version, i32 record-stream offset,
// title char[101]; i32 page count, u16 object count, i16 x and y recording resolution; the
// document's page setup (a tagged record from version 4.0, a 37-byte fixed record from 3.0,
// 36 bytes before); i32 n and n bytes of extra data; an i32 record-stream offset per page;
// per object an i16 kind (1 font, 2 pen, 3 brush) and its payload; then the record stream.
#pragma once

#include "RpxDevice.h"
#include "RpxObjects.h"
#include "RpxStream.h"

#include "report/DaxPageSetup.h"

#include "platform/runtime/ByteIO.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TRpxRpxFile;

// Record codes.
enum : int16_t {
    rcSelectObject = 4, rcPageStart = 5, rcPageEnd = 6, rcTextAlign = 20, rcTextOut = 21, rcMoveTo = 23,
    rcLineTo = 24, rcTextOutLong = 25, rcExtTextOut = 26, rcTextRect = 27, rcFillRect = 28, rcRectangle = 29,
    rcRoundRect = 30, rcEllipse = 31, rcDrawGraphic = 32, rcStretchGraphic = 33, rcShadeRect = 34,
    rcBkColor = 35, rcTextInRect = 37, rcDrawBitmap = 38, rcStretchBitmap = 39, rcRichText = 40,
    rcCheckBox = 41, rcArc = 42, rcPoly = 43, rcBarCode39 = 44, rcBarCode25 = 45, rcLegacySetup = 100,
    rcPrinterSetup = 101,
};

constexpr int32_t kRpxIdentifier = 101071;
constexpr size_t kRpxHeaderSize = 116;
constexpr size_t kRpxTitleChars = 100;
constexpr size_t kLegacySetupSize = 37;

// The page index: entries in chunks of 1,000 so that a long report never moves a large block.
class TRpxList {
public:
    int32_t Add(int32_t offset);
    int32_t Get(int32_t index) const;
    void Set(int32_t index, int32_t offset);
    int32_t Count() const { return count_; }
    void Clear();

private:
    std::vector<std::vector<int32_t>> chunks_;
    int32_t count_ = 0;
};

// A document, or something that takes documents (a printer, a device).
class TRpxFile {
public:
    TRpxFile();
    virtual ~TRpxFile();
    TRpxFile(const TRpxFile&) = delete;
    TRpxFile& operator=(const TRpxFile&) = delete;

    // Not implemented by a plain file: EAbstractError.
    virtual void TakeDocument(TRpxRpxFile& document);
    virtual void TakePage(TRpxRpxFile& document, int n);
    virtual void TakeRange(TRpxRpxFile& document, int first, int last);
    virtual void LoadFromFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream);
    virtual void SendDocument(TRpxFile& target);
    virtual void SendPage(TRpxFile& target, int n);
    virtual void SendRange(TRpxFile& target, int first, int last);
    virtual void SaveToFile(const std::string& fileName);
    virtual void SaveToStream(TStream& stream);
    virtual void PlayPage(TRpxDevice& dc, int n);
    virtual void Clear();

    int32_t PageCount() const { return Pages.Count(); }

    std::unique_ptr<TRpxStream> Stream;
    TRpxList Pages;
    std::unique_ptr<TRpxPrinterSetup> PrinterSetup;
    int32_t ZoomX = 100, ZoomY = 100;
    int32_t PlayOriginX = 0, PlayOriginY = 0;
    bool Printing = false;
    bool UserSetup = false;
};

// A handler for a record code the player does not know: it reads the record's operands from
// the document's stream and draws.
using TRpxRecordHandler = std::function<void(TRpxDevice& dc, TRpxRpxFile& document)>;
void RegisterRpxRecordHandler(int16_t code, TRpxRecordHandler handler);

// A rich-text record (code 40) as the player hands it to the renderer: int32 first
// character, rectangle, byte use-font flag, int32 range start, int32 range end, blob of RTF.
struct TRpxRichText {
    int32_t FirstChar = 0;          // where drawing starts: the text continues from there
    TRpxRect Rect;                  // scaled to the device
    bool UseFont = false;           // all text in Font
    int32_t RangeStart = -1, RangeEnd = -1;
    std::vector<uint8_t> Rtf;
    bool HasFont = false;           // a font is selected: it is the text's default
    TRpxLogFont Font;               // at ResolutionY
    int ResolutionX = 96, ResolutionY = 96;
};
// Installed by the program's Qt layer; without it rich text is skipped.
extern std::function<void(TRpxDevice& dc, const TRpxRichText& text)> RpxRichTextRenderer;
void ClearRpxRecordHandlers();

class TRpxRpxFile : public TRpxFile {
public:
    TRpxRpxFile();
    ~TRpxRpxFile() override;

    // Recording.
    void BeginRecording();
    void RecordNewPage();
    void EndRecording();
    // Records a font, pen or brush change: finds or adds the table entry, writes record 4.
    void RecordFont(const TRpxFont& font);
    void RecordPen(const TRpxPen& pen);
    void RecordBrush(const TRpxBrush& brush);
    // Encoders, appended at the record stream's position. Coordinates saturate at int16;
    // strings are UTF-8 written as Windows-1252.
    void WriteCode(int16_t code);
    void WriteCoord(int64_t v);
    void WriteI32(int32_t v);
    void WriteByte(uint8_t v);
    void WriteRect(const TRpxRect& r);
    void WriteString(std::string_view utf8);
    void WriteBlob(TStream& blob);
    void WriteBlob(const std::vector<uint8_t>& blob);

    // Copies page n's setup into setup; false when there is none to copy.
    bool ReadPageSetup(TRpxPrinterSetup& setup, int n);

    // Load, save, play. A damaged file raises EReadError naming the fault and leaves the
    // document empty.
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream& stream) override;
    void SendDocument(TRpxFile& target) override;
    void SendPage(TRpxFile& target, int n) override;
    void SendRange(TRpxFile& target, int first, int last) override;
    // Nothing while recording.
    void SaveToFile(const std::string& fileName) override;
    void SaveToStream(TStream& stream) override;
    void PlayPage(TRpxDevice& dc, int n) override;
    void Clear() override;

    float Version() const { return version_; }
    // Pages that can be played, printed or read: all but the one still being recorded.
    int32_t CompletePages() const;

    std::vector<TRpxRpxFileObject> Objects;
    std::string FileName;
    int CurrentPlayFont = -1, CurrentPlayPen = -1, CurrentPlayBrush = -1;
    int CurrentRecordFont = -1, CurrentRecordPen = -1, CurrentRecordBrush = -1;
    bool Recording = false;
    float Progress = 0;
    std::string Title;               // UTF-8
    TMemoryStream ExtraData;
    bool SaveOnEnd = false;
    std::unique_ptr<TRpxPrinterSetup> InitialSetup;
    int16_t PixelsPerInchX = 96, PixelsPerInchY = 96;
    std::array<uint8_t, kLegacySetupSize> LegacySetup{};

private:
    // Appends what f writes as one piece.
    template <class F>
    void Emit(F f)
    {
        TByteWriter w;
        f(w);
        WriteRecordBytes(w.Bytes());
    }
    int FindOrAdd(TRpxObjectKind kind, std::vector<uint8_t> payload, size_t compare);
    void WriteRecordBytes(const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> FilePrefix(const TRpxPrinterSetup& setup);
    void SaveWith(TStream& out, const TRpxPrinterSetup& setup);
    void SaveFileWith(const TRpxPrinterSetup& setup);
    void Parse(TMemoryStream& file);
    void PlayRecords(TRpxDevice& dc, int targetX, int targetY);
    std::string ReadRecordString();
    std::vector<uint8_t> ReadRecordBlob();
    const TRpxRpxFileObject* ObjectAt(int index, TRpxObjectKind kind) const;

    float version_ = 4.0f;
};

// Holds one document for the viewer.
class TRpxFiler {
public:
    TRpxFiler() = default;
    virtual ~TRpxFiler() = default;
    // A document replaces the one held; none only lets go of the held one.
    virtual void SetDocument(std::shared_ptr<TRpxRpxFile> document);
    // A stream without the document identifier changes nothing; a damaged document leaves
    // the filer without one and the error is raised to the caller.
    virtual void LoadFromStream(TStream& stream);
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName);
    virtual void SaveToStream(TStream& stream);
    virtual void SendDocument(TRpxFile& target);
    virtual void SendPage(TRpxFile& target, int n);
    virtual void SendRange(TRpxFile& target, int first, int last);

    std::shared_ptr<TRpxRpxFile> Document;
};

// Something that takes pages of documents (a device, a printer): of a file's operations it
// keeps only opening a file, which it hands to LoadFromStream.
class TRpxPageTaker : public TRpxFile {
public:
    void TakeDocument(TRpxRpxFile&) override {}
    void TakePage(TRpxRpxFile&, int) override {}
    void TakeRange(TRpxRpxFile&, int, int) override {}
    void LoadFromFile(const std::string& fileName) override;
    void LoadFromStream(TStream&) override {}
    void SendDocument(TRpxFile&) override {}
    void SendPage(TRpxFile&, int) override {}
    void SendRange(TRpxFile&, int, int) override {}
    void SaveToFile(const std::string&) override {}
    void SaveToStream(TStream&) override {}
    void PlayPage(TRpxDevice&, int) override {}
};

// Plays a document's pages onto a given device.
class TRpxDeviceContext : public TRpxPageTaker {
public:
    void SetTargetDC(TRpxDevice* dc) { TargetDC = dc; }
    void TakePage(TRpxRpxFile& document, int n) override;

    TRpxDevice* TargetDC = nullptr;
};

// Clamps a page number to 1..the document's complete pages.
int ClampPage(const TRpxRpxFile& document, int n);
