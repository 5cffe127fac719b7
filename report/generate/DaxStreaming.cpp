// Streaming of the report definition (report/generate): the property tables of the report,
// its page with the page setup, the bands, groups, guides and labels, registered by name for
// the component streams that hold a definition.
#include "DaxReport.h"

#include <mutex>

namespace {

using Kind = TStreamValue::Kind;

const char* const kBorderTypes[] = {"btNone", "btSingle", "btUnderLine"};
const char* const kShades[] = {"spNone", "spVeryDark", "spDark", "spMedDark", "spMedium", "spMedLight", "spLight"};
const char* const kOutputTypes[] = {"otNormal", "otRichText"};
const char* const kDataRanges[] = {"drAllRecords", "drSingleRecord"};
const char* const kClipTypes[] = {"ctDefault", "ctClip", "ctNoClip"};
const char* const kVAligns[] = {"laTop", "laMiddle", "laBottom"};
const char* const kHAligns[] = {"laLeft", "laCenter", "laRight"};
const char* const kCheckStyles[] = {"csCross", "csCheck"};
const char* const kLineTypes[] = {"ltHorizontal", "ltVertical", "ltDiagonalLeft", "ltDiagonalRight"};
const char* const kTotalTypes[] = {"ttSum", "ttCount", "ttMax", "ttMin", "ttAverage", "ttValue"};
const char* const kTextCases[] = {"tcNone", "tcUpper", "tcLower"};
const char* const kFloatFormats[] = {"ffGeneral", "ffExponent", "ffFixed", "ffNumber", "ffCurrency"};
const char* const kFontStyles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
const char* const kPenStyles[] = {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"};
const char* const kPenModes[] = {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                                 "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask",
                                 "pmNotMask", "pmXor", "pmNotXor"};
const char* const kAligns[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
const char* const kVersions[] = {"vRpx1_0"};
const char* const kOrientations[] = {"poPortrait", "poLandscape", "poUseCurrent"};
const char* const kSizes[] = {"psLetter", "psExecutive", "psLegal", "psA4", "psCustom", "psLetterSmall", "psTabloid",
                              "psLedger", "psStatement", "psA3", "psA4Small", "psA5", "psB4", "psB5", "psFolio",
                              "psQuarto", "ps10x14", "ps11x17", "psNote", "psEnv_9", "psEnv_10", "psEnv_11",
                              "psEnv_12", "psEnv_14", "psCSheet", "psDSheet", "psESheet", "psUseCurrent"};
const char* const kSources[] = {"psUpper", "psLower", "psAuto", "psManual", "psEnvelope", "psEnvelopeManual",
                                "psCassette", "psMiddle", "psSmallFmt", "psLargeCapacity", "psTractor", "psLargeFmt",
                                "ppsUseCurrent"};
const char* const kDuplexes[] = {"pdSimplex", "pdDuplexLongEdge", "pdDuplexShortEdge", "pdUseCurrent"};
const char* const kUnits[] = {"unitInches", "unitMiliMeters", "unitCentiMeters"};
const char* const kDestinations[] = {"destPrinter", "destScreen", "destFile"};
const char* const kQualities[] = {"pqHigh", "pqMedium", "pqLow", "pqDraft", "pqCustom", "pqUseCurrent"};
const char* const kTrueTypes[] = {"ttBitmap", "ttDownLoad", "ttSubDev", "ttDownLoadOutline", "ttUseCurrent"};
const char* const kModalPreviews[] = {"mpModal", "mpNonModal", "mpDefault"};
const char* const kPreviewOwners[] = {"poFormOwned", "poAppOwned", "poDefault"};
const char* const kFormStyles[] = {"pfsNormal", "pfsMDIChild", "pfsStayOnTop", "pfsDefault"};
const char* const kWindowStates[] = {"wsNormal", "wsMinimized", "wsMaximized"};
const char* const kZooms[] = {"az200", "az150", "az100", "az75", "az50", "az25", "az10", "azWidth", "azHeight", "azPage"};

// An extra property that is read (its kind checked) and otherwise ignored; never written.
void Ignored(TFiler& f, const std::string& name, Kind kind)
{
    f.DefineProperty(name, [kind](const TStreamValue& v) { RequireKind(v, kind); }, [] { return std::nullopt; });
}

// ---- persistent values --------------------------------------------------------------------------

void DefineFont(TRpxFont& font, TFiler& f)
{
    const TRpxFont d;
    f.String("Name", Field(font.Name), d.Name);
    f.Integer("Size", font.Size, d.Size, 1, 1638);
    f.Integer("Color", font.Color, d.Color);
    f.Set("Style",
          {[&font] {
               return uint32_t(font.Bold) | uint32_t(font.Italic) << 1 | uint32_t(font.Underline) << 2 |
                      uint32_t(font.StrikeOut) << 3;
           },
           [&font](uint32_t s) {
               font.Bold = s & 1;
               font.Italic = s & 2;
               font.Underline = s & 4;
               font.StrikeOut = s & 8;
           }},
          kFontStyles, 0);
    f.Integer("CharSet", font.CharSet, d.CharSet);
    f.Integer("PitchAndFamily", font.PitchAndFamily, d.PitchAndFamily);
    f.Integer("Escapement", font.Escapement, d.Escapement);
}

void DefinePen(TRpxPen& pen, TFiler& f)
{
    const TRpxPen d;
    f.Integer("Color", pen.Color, d.Color);
    f.Enum("Style", {[&pen] { return int(pen.Style); }, [&pen](int v) { pen.Style = uint8_t(v); }}, kPenStyles,
           int(d.Style));
    f.Integer("Width", pen.Width, d.Width, 0, 10000);
    f.Enum("Mode", {[&pen] { return int(pen.Mode); }, [&pen](int v) { pen.Mode = uint8_t(v); }}, kPenModes,
           int(d.Mode));
}

void DefineFormat(TDaxRootFormat& fmt, TFiler& f, TFloatFormat floatDefault, int digitsDefault)
{
    f.String("DisplayFormat", {[&fmt] { return fmt.DisplayFormat(); }, [&fmt](std::string s) { fmt.SetDisplayFormat(s); }},
             std::string());
    f.Enum("TextCase", {[&fmt] { return int(fmt.TextCase()); }, [&fmt](int v) { fmt.SetTextCase(TDaxTextCase(v)); }},
           kTextCases, int(tcNone));
    f.Enum("FloatFormat",
           {[&fmt] { return int(fmt.FloatFormat()); }, [&fmt](int v) { fmt.SetFloatFormat(TFloatFormat(v)); }},
           kFloatFormats, int(floatDefault));
    f.Integer("Width", {[&fmt] { return int64_t(fmt.Width()); }, [&fmt](int64_t v) { fmt.SetWidth(int32_t(v)); }}, 15,
              0, 255);
    f.Integer("Digits", {[&fmt] { return int64_t(fmt.Digits()); }, [&fmt](int64_t v) { fmt.SetDigits(int32_t(v)); }},
              digitsDefault, 0, 255);
    f.Boolean("SuppressNulls", {[&fmt] { return fmt.SuppressNulls(); }, [&fmt](bool v) { fmt.SetSuppressNulls(v); }},
              false);
    f.Boolean("UseCurrencyDecimals",
              {[&fmt] { return fmt.UseCurrencyDecimals(); }, [&fmt](bool v) { fmt.SetUseCurrencyDecimals(v); }}, false);
}

void DefinePreviewSettings(TDaxPreviewSettings& p, TFiler& f)
{
    f.Enum("ModalPreview", p.ModalPreview, kModalPreviews, mpDefault);
    f.Enum("PreviewOwner", p.PreviewOwner, kPreviewOwners, poDefault);
    f.Enum("FormStyle", p.FormStyle, kFormStyles, pfsDefault);
    f.Enum("WindowState", p.WindowState, kWindowStates, wsMaximized);
    f.Enum("Zoom", p.Zoom, kZooms, az100);
}

template <class E>
TProp<int> Setter(TDaxPageSetup& s, E (TDaxPageSetup::*get)() const, void (TDaxPageSetup::*set)(E))
{
    return {[&s, get] { return int((s.*get)()); }, [&s, set](int v) { (s.*set)(E(v)); }};
}

// Values are taken as they stand: the page is loading, so a unit change converts nothing.
void DefinePageSetup(TDaxPageSetup& s, TFiler& f)
{
    using P = TDaxPageSetup;
    f.Enum("Orientation", Setter(s, &P::Orientation, &P::SetOrientation), kOrientations, int(poUseCurrent));
    f.Enum("Size", Setter(s, &P::Size, &P::SetSize), kSizes, int(psUseCurrent));
    f.Enum("Source", Setter(s, &P::Source, &P::SetSource), kSources, int(ppsUseCurrent));
    f.Enum("Duplex", Setter(s, &P::Duplex, &P::SetDuplex), kDuplexes, int(pdUseCurrent));
    f.Integer("Copies", {[&s] { return int64_t(s.Copies()); }, [&s](int64_t v) { s.SetCopies(TDaxPaperCopies(v)); }}, 1,
              0, 65535);
    f.Float("Height", {[&s] { return s.Height(); }, [&s](double v) { s.SetHeight(v); }});
    f.Float("Width", {[&s] { return s.Width(); }, [&s](double v) { s.SetWidth(v); }});
    f.Enum("PrintQuality", Setter(s, &P::PrintQuality, &P::SetPrintQuality), kQualities, int(pqUseCurrent));
    f.Enum("TrueTypeOption", Setter(s, &P::TrueTypeOption, &P::SetTrueTypeOption), kTrueTypes, int(ttUseCurrent));
    f.Boolean("Color", {[&s] { return s.Color(); }, [&s](bool v) { s.SetColor(v); }}, true);
    f.Enum("Units", Setter(s, &P::Units, &P::SetUnits), kUnits, int(unitInches));
    f.Integer("RangeStart", s.RangeStart, 0);
    f.Integer("RangeEnd", s.RangeEnd, 0);
    f.Enum("Destination", s.Destination, kDestinations, destScreen);
    f.Boolean("AdjustMargin", Field(s.AdjustMargin), true);
    f.Object("PreviewSettings", [&s](TFiler& sub) { DefinePreviewSettings(s.PreviewSettings(), sub); });
    f.Boolean("TextDriverCompatibility", Field(s.TextDriverCompatibility), false);
    f.Boolean("DirectPrinter", Field(s.DirectPrinter), false);
    f.Boolean("CollatedCopies", Field(s.CollatedCopies), true);
    f.String("FormName", Field(s.FormName), std::string());
    // The margins are extra properties, written when they are not 0.5.
    f.Float("LeftMargin", {[&s] { return s.LeftMargin(); }, [&s](double v) { s.SetLeftMargin(v); }}, 0.5);
    f.Float("RightMargin", {[&s] { return s.RightMargin(); }, [&s](double v) { s.SetRightMargin(v); }}, 0.5);
    f.Float("TopMargin", {[&s] { return s.TopMargin(); }, [&s](double v) { s.SetTopMargin(v); }}, 0.5);
    f.Float("BottomMargin", {[&s] { return s.BottomMargin(); }, [&s](double v) { s.SetBottomMargin(v); }}, 0.5);
    Ignored(f, "PixelsPerUnit", Kind::Float);
}

// ---- the report and its page ----------------------------------------------------------------------

void DefineReport(TDaxReport& r, TFiler& f)
{
    f.Boolean("Minimized", Field(r.Minimized), false);
    f.Boolean("Prompt", Field(r.Prompt), true);
    f.Boolean("AutoRun", Field(r.AutoRun), false);
    f.Event("OnPromptPrint", r.OnPromptPrint, r.EventNames);
    f.Event("OnBeforePrint", r.OnBeforePrint, r.EventNames);
    f.Event("OnAfterPrint", r.OnAfterPrint, r.EventNames);
    f.Boolean("SuppressStatus", Field(r.SuppressStatus), false);
    f.Integer("PixelsPerInch", r.PixelsPerInch, {}, 1, 10000);
    f.Integer("STop", r.Design.STop);
    f.Integer("SLeft", r.Design.SLeft);
    f.Integer("SWidth", r.Design.SWidth);
    f.Integer("SHeight", r.Design.SHeight);
    f.Integer("MTop", r.Design.MTop);
    f.Integer("MLeft", r.Design.MLeft);
    f.Enum("SAlign", r.Design.SAlign, kAligns);
    f.DefineProperty(
        "Version",
        [](const TStreamValue& v) {
            RequireKind(v, Kind::Ident);
            if (!SameText(v.text, kVersions[0])) throw Exception("unknown version " + v.text);
        },
        [] { return std::optional(TStreamValue::OfIdent(kVersions[0])); });
}

void DefinePage(TDaxReportPage& p, TFiler& f)
{
    f.Boolean("TwoPass", Field(p.TwoPass), false);
    f.Boolean("ClipLabels", Field(p.ClipLabels));
    f.Object("PageSetup", [&p](TFiler& sub) { DefinePageSetup(p.PageSetup, sub); });
    f.Enum("BorderType", p.BorderType, kBorderTypes);
    f.Enum("OutputType", p.OutputType, kOutputTypes, otNormal);
    f.Event("OnPreview", p.OnPreview, p.EventNames);
    f.Event("OnUpdateStatus", p.OnUpdateStatus, p.EventNames);
    f.String("RpxFileName", Field(p.RpxFileName));
    f.String("Description", Field(p.Description));
    f.Boolean("CloseDataSet", Field(p.CloseDataSet));
    f.Enum("DataRange", p.DataRange, kDataRanges);
    f.Event("OnDataStart", p.OnDataStart, p.EventNames);
    f.Event("OnDataSkip", p.OnDataSkip, p.EventNames);
    f.Event("OnDataFinish", p.OnDataFinish, p.EventNames);
    f.Event("OnDataFilter", p.OnDataFilter, p.EventNames);
    f.Boolean("OmitLastPgFt", Field(p.OmitLastPgFt));
    f.Reference("Head", p.Head);
    f.Reference("Detail", p.Detail);
    f.Reference("Foot", p.Foot);
    f.Reference("PageHead", p.PageHead);
    f.Reference("PageFoot", p.PageFoot);
    f.String("RtfFile", Field(p.RtfFile));
    f.Reference("DataSource", p.DataSource);
    f.Boolean("NoDataQuit", Field(p.NoDataQuit), false);
    f.Event("OnNoData", p.OnNoData, p.EventNames);
    f.Boolean("NoRecordCount", Field(p.NoRecordCount), false);
    f.Boolean("CloseDataSources", Field(p.CloseDataSources), true);
    f.Event("OnNewPage", p.OnNewPage, p.EventNames);
    f.Event("OnBeforeNewPage", p.OnBeforeNewPage, p.EventNames);
    f.Event("OnAfterDataSkip", p.OnAfterDataSkip, p.EventNames);
    f.Boolean("GroupPageBreaks", Field(p.GroupPageBreaks), false);
    // The page's place among its report's pages; pages take their place in reading order.
    f.DefineProperty(
        "Order", [](const TStreamValue& v) { RequireKind(v, Kind::Integer); },
        [&p]() -> std::optional<TStreamValue> {
            TDaxReport* r = p.Report();
            if (!r) return TStreamValue::OfInteger(0);
            const auto& pages = r->Pages();
            return TStreamValue::OfInteger(std::find(pages.begin(), pages.end(), &p) - pages.begin());
        });
    Ignored(f, "DataSet", Kind::Ident);
    Ignored(f, "NoDsgList", Kind::StringList);
}

// ---- bands, groups and guides ----------------------------------------------------------------------

void DefineBand(TDaxBand& b, TFiler& f)
{
    f.Integer("Height", b.Height, {}, 0, 100000);
    f.Integer("Color", b.Color, clWhite);
    f.Object("Font", [&b](TFiler& sub) { DefineFont(b.Font, sub); });
    f.String("BandName", Field(b.BandName));
    f.Event("OnPrintWhen", b.OnPrintWhen, b.EventNames);
    f.Reference("Updatelevel", b.Updatelevel);
    f.Boolean("Visible", Field(b.Visible), true);
    f.Boolean("Stretch", Field(b.Stretch), false);
    f.Boolean("NewPage", Field(b.NewPage), false);
    f.Boolean("NewPageRepeat", Field(b.NewPageRepeat), false);
    f.Enum("BorderType", b.BorderType, kBorderTypes, btNone);
    f.Object("ReserveSpace", [&b](TFiler& sub) {
        sub.Reference("Band", b.ReserveSpace.Band);
        sub.Integer("BandCount", b.ReserveSpace.BandCount, 1, 0, 10000);
        sub.Integer("Space", b.ReserveSpace.Space, 0, 0, 100000);
    });
    f.Boolean("KeepTogether", Field(b.KeepTogether), false);
    f.Event("OnBeforePrint", b.OnBeforePrint, b.EventNames);
    f.Event("OnAfterPrint", b.OnAfterPrint, b.EventNames);
    f.Enum("Shade", b.Shade, kShades, spNone);
}

void DefineSubBand(TDaxSubBand& b, TFiler& f)
{
    DefineBand(b, f);
    f.Reference("Band", b.Band);
    f.Integer("Order", b.Order, 0);
    f.Boolean("Above", Field(b.Above));
}

void DefineOverlayBand(TDaxOverlayBand& b, TFiler& f)
{
    DefineBand(b, f);
    f.Boolean("First", Field(b.First), true);
    f.Integer("Order", b.Order, 0);
    f.Integer("TopOffset", b.TopOffset, 0);
    f.Integer("LeftOffset", b.LeftOffset, 0);
    f.Boolean("UseMargins", Field(b.UseMargins), true);
}

void DefineSubDataBand(TDaxSubDataBand& b, TFiler& f)
{
    DefineBand(b, f);
    f.Reference("Band", b.Band);
    f.Integer("Order", b.Order, 0);
    f.Boolean("CloseDataSet", Field(b.CloseDataSet));
    f.Enum("DataRange", b.DataRange, kDataRanges);
    f.Reference("DataSource", b.DataSource);
    f.Event("OnDataStart", b.OnDataStart, b.EventNames);
    f.Event("OnDataSkip", b.OnDataSkip, b.EventNames);
    f.Event("OnDataFinish", b.OnDataFinish, b.EventNames);
    f.Event("OnAfterDataSkip", b.OnAfterDataSkip, b.EventNames);
    f.Event("OnDataFilter", b.OnDataFilter, b.EventNames);
    Ignored(f, "DataSet", Kind::Ident);
}

void DefineDataHeadBand(TDaxDataHeadBand& b, TFiler& f)
{
    DefineBand(b, f);
    f.Reference("Band", b.Band);
}

void DefineGroup(TDaxGroup& g, TFiler& f)
{
    f.Event("OnCheckBroken", g.OnCheckBroken, g.EventNames);
    f.Reference("Header", g.Header);
    f.Reference("Footer", g.Footer);
    f.Reference("Variable", g.Variable);
    f.Integer("Level", g.Level, {}, 0, INT32_MAX);
}

void DefineGuide(TDaxDSGuide& g, TFiler& f)
{
    f.Boolean("CreateVariables", Field(g.CreateVariables), true);
    f.Reference<TDaxLevel>("UpdateLevel", {[&g] { return g.UpdateLevel(); }, [&g](TDaxLevel* l) { g.SetUpdateLevel(l); }});
    f.Reference("DataSource", g.DataSource);
}

// ---- labels ------------------------------------------------------------------------------------------

void DefineLabel(TDaxLabel& l, TFiler& f)
{
    f.Integer("Left", l.Left);
    f.Integer("Top", l.Top);
    f.Integer("Width", l.Width, {}, 0, 100000);
    f.Integer("Height", l.Height, {}, 0, 100000);
    f.Event("LabelPrintWhen", l.LabelPrintWhen, l.EventNames);
    f.Event("OnBeforePrint", l.OnBeforePrint, l.EventNames);
    f.Event("OnAfterPrint", l.OnAfterPrint, l.EventNames);
    f.Integer("Row", l.Row, 0, 0, 100000);
    f.Boolean("RtfPrint", Field(l.RtfPrint), true);
}

void Pen(TDaxLabel& l, TFiler& f) { f.Object("Pen", [&l](TFiler& sub) { DefinePen(l.Pen, sub); }); }
void Font(TDaxLabel& l, TFiler& f) { f.Object("Font", [&l](TFiler& sub) { DefineFont(l.Font, sub); }); }
// Read as it stands: SetShade would also make the label opaque, and a transparent shaded
// label, whose "Transparent" is not written (it is at its default), or whose "Transparent"
// comes before "Shade", would read back opaque. An opaque one has "Transparent = false".
void Shade(TDaxLabel& l, TFiler& f)
{
    f.Enum("Shade", {[&l] { return int(l.Shade); }, [&l](int v) { l.Shade = TRpxShadePercent(v); }}, kShades,
           int(spNone));
}
void Aligns(TDaxLabel& l, TFiler& f, TDaxHorizontalAlign horizontal)
{
    f.Enum("AlignVertical", l.AlignVertical, kVAligns, laBottom);
    f.Enum("AlignHorizontal", l.AlignHorizontal, kHAligns, horizontal);
}

void DefineTVLabel(TDaxTVLabel& l, TFiler& f)
{
    DefineLabel(l, f);
    f.Enum("ClipType", l.ClipType, kClipTypes, ctDefault);
    Aligns(l, f, laLeft);
    f.Enum("BorderType", l.BorderType, kBorderTypes, btNone);
    f.Boolean("WrapText", {[&l] { return l.WrapText; }, [&l](bool v) { l.SetWrapText(v); }}, false);
    f.Boolean("Stretch", Field(l.Stretch), false);
    f.Integer("RotateFont", l.RotateFont, 0, 0, 360);
    Shade(l, f);
    f.Integer("BorderMargin", l.BorderMargin, 2, 0, 10000);
    Pen(l, f);
    f.Boolean("Transparent", Field(l.Transparent), true);
    f.Integer("Color", l.Color, clWhite);
    Font(l, f);
    f.Integer("WrapHeightPercent", l.WrapHeightPercent, 100, 25, 300);
    f.Boolean("JustifyMemo", Field(l.JustifyMemo), false);
    f.Strings("Lines", {[&l] {
                            std::vector<std::string> v;
                            for (int i = 0; i < l.Lines.Count(); ++i) v.push_back(l.Lines[i]);
                            return v;
                        },
                        [&l](std::vector<std::string> v) {
                            l.Lines.Clear();
                            for (auto& s : v) l.Lines.Add(s);
                        }});
    f.Boolean("SuppressBlankLines", Field(l.SuppressBlankLines), false);
    f.Boolean("SuppressWhiteSpace", Field(l.SuppressWhiteSpace), false);
}

void DefineVarLabel(TDaxvarlabel& l, TFiler& f)
{
    DefineTVLabel(l, f);
    f.Reference<TDaxVar>("Variable", {[&l] { return l.Variable(); }, [&l](TDaxVar* v) { l.SetVariable(v); }});
    f.Object("DataFormat", [&l](TFiler& sub) { DefineFormat(l.DataFormat, sub, TFloatFormat::ffGeneral, 0); });
    f.Boolean("SuppressRepeats", Field(l.SuppressRepeats), false);
    f.String("Caption", Field(l.Caption), std::string());
    Ignored(f, "AutoSize", Kind::Boolean);
}

void DefineTextLabel(TDaxTextLabel& l, TFiler& f)
{
    DefineTVLabel(l, f);
    f.Boolean("AutoSize", Field(l.AutoSize), false);
    f.String("Caption", Field(l.Caption), std::string());
}

void DefineCheckLabel(TDaxCheckLabel& l, TFiler& f)
{
    DefineLabel(l, f);
    f.Reference<TDaxVar>("Variable", {[&l] { return l.Variable(); }, [&l](TDaxVar* v) { l.SetVariable(v); }});
    f.Integer("Color", l.Color, clWhite);
    f.Boolean("Transparent", Field(l.Transparent), true);
    Pen(l, f);
    f.Enum("CheckStyle", l.CheckStyle, kCheckStyles, csCross);
    f.Enum("BorderType", l.BorderType, kBorderTypes, btNone);
    Shade(l, f);
}

void DefineTotalLabel(TDaxTotalvarLabel& l, TFiler& f)
{
    DefineLabel(l, f);
    f.Reference<TDaxTotalvar>("TotalVariable",
                              {[&l] { return l.TotalVariable(); }, [&l](TDaxTotalvar* v) { l.SetTotalVariable(v); }});
    f.Reference<TDaxLevel>("Level", {[&l] { return l.Level(); }, [&l](TDaxLevel* v) { l.SetLevel(v); }});
    f.Boolean("AutoLevel", Field(l.AutoLevel), true);
    f.Enum("TotalType", l.TotalType, kTotalTypes, ttSum);
    f.Object("DataFormat", [&l](TFiler& sub) { DefineFormat(l.DataFormat, sub, TFloatFormat::ffNumber, 2); });
    f.Integer("Color", l.Color, clWhite);
    Font(l, f);
    f.Boolean("Transparent", Field(l.Transparent), true);
    f.Enum("ClipType", l.ClipType, kClipTypes, ctDefault);
    Aligns(l, f, laRight);
    f.Enum("BorderType", l.BorderType, kBorderTypes, btNone);
    f.Integer("RotateFont", l.RotateFont, 0, 0, 360);
    Shade(l, f);
    f.Integer("BorderMargin", l.BorderMargin, 2, 0, 10000);
    Ignored(f, "AutoSize", Kind::Boolean);
}

void DefineLine(TDaxLine& l, TFiler& f)
{
    DefineLabel(l, f);
    Pen(l, f);
    Aligns(l, f, laLeft);
    f.Enum("LineType", l.LineType, kLineTypes, ltHorizontal);
    f.Boolean("Transparent", Field(l.Transparent), true);
}

void DefineImageLabel(TDaxImageLabel& l, TFiler& f)
{
    DefineLabel(l, f);
    f.Object("Picture", [&l](TFiler& sub) {
        sub.Binary("Data", Field(l.Picture));
        sub.Integer("Kind", l.PictureKind, 1, 0, 255);
        sub.Integer("Width", l.PictureWidth, 0, 0, 1000000);
        sub.Integer("Height", l.PictureHeight, 0, 0, 1000000);
    });
    f.Boolean("Center", Field(l.Center), false);
    f.Reference<TDaxVar>("Variable", {[&l] { return l.Variable(); }, [&l](TDaxVar* v) { l.SetVariable(v); }});
    f.Boolean("Stretch", Field(l.Stretch), false);
    f.Enum("BorderType", l.BorderType, kBorderTypes, btNone);
}

void DefineDivider(TDaxVerticalDivider& l, TFiler& f)
{
    DefineLabel(l, f);
    f.Integer("Color", l.Color, clWhite);
    f.Integer("DividerWidth",
              {[&l] { return int64_t(l.DividerWidth()); }, [&l](int64_t v) { l.SetDividerWidth(int(v)); }}, 1, 0, 10000);
    f.Integer("DividerColor", l.DividerColor, clBlack);
}

template <class C, class Table>
void Register(const char* name, void (*define)(Table&, TFiler&))
{
    RegisterDaxClass<C>(name, std::function<void(C&, TFiler&)>(define));
}

}  // namespace

void RegisterDaxReportClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDaxCoreClasses();
        Register<TDaxReport>("TDaxReport", DefineReport);
        Register<TDaxReportPage>("TDaxGrouppage", DefinePage);
        Register<TDaxBand>("TDaxBand", DefineBand);
        Register<TDaxSubBand>("TDaxSubBand", DefineSubBand);
        Register<TDaxOverlayBand>("TDaxOverlayBand", DefineOverlayBand);
        Register<TDaxSubDataBand>("TDaxSubDataBand", DefineSubDataBand);
        Register<TDaxDataHeadBand>("TDaxDataHeadBand", DefineDataHeadBand);
        Register<TDaxDataFootBand>("TDaxDataFootBand", DefineDataHeadBand);
        Register<TDaxGroup>("TDaxGroup", DefineGroup);
        Register<TDaxDSGuide>("TDaxDSGuide", DefineGuide);
        Register<TDaxDataSourceGuide>("TDaxDataSourceGuide", DefineGuide);
        Register<TDaxvarlabel>("TDaxvarlabel", DefineVarLabel);
        Register<TDaxTextLabel>("TDaxTextLabel", DefineTextLabel);
        Register<TDaxCheckLabel>("TDaxCheckLabel", DefineCheckLabel);
        Register<TDaxTotalvarLabel>("TDaxTotalvarLabel", DefineTotalLabel);
        Register<TDaxLine>("TDaxLine", DefineLine);
        Register<TDaxImageLabel>("TDaxImageLabel", DefineImageLabel);
        Register<TDaxVerticalDivider>("TDaxVerticalDivider", DefineDivider);
    });
}

void TDaxReportPage::Loaded()
{
    // A sub band's owner is a reference the stream names: owners that lead round in a circle,
    // or a chain deeper than a stream may nest, would send the layout's recursion (here, and
    // in every run) without end.
    for (const TDaxBand* b : Bands()) {
        int depth = 0;
        for (const TDaxBand* o = b->OwnerBand(); o; o = o->OwnerBand())
            if (++depth > kMaxStreamDepth)
                throw EComponentError(b->Name() + ": its owner bands own each other or nest too deep");
    }
    TDaxGrouppage::Loaded();
    Arrange();
}
