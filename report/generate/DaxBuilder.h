// Writing a report definition in code: each call places one component the way a window
// resource would (owner, parent, name, geometry), so a definition reads top to bottom like
// the component tree it builds.
#pragma once

#include "DaxReport.h"

#include <type_traits>

namespace DaxBuild {

// A page on the report, owned by it.
TDaxReportPage& Page(TDaxReport& report, const std::string& name);

// The five fixed bands, each with a level named after it followed by "level":
// "ReportHeaderBand" (not visible), "PageHeaderBand", "DetailBand", "PageFooterBand",
// "ReportFooterBand", each `height` pixels high.
void DefaultBands(TDaxReportPage& page, int height = 20);

// A band of class B on the page; `owner` is the band it belongs to (sub, sub data, data
// head and foot bands), nil for free bands.
template <class B>
B& Band(TDaxReportPage& page, const std::string& name, int height, TDaxBand* owner = nullptr);

// A label of class L on a band.
template <class L>
L& Label(TDaxBand& band, const std::string& name, int left, int top, int width, int height)
{
    auto* l = new L(band.Page());
    l->SetName(name);
    l->Left = left;
    l->Top = top;
    l->Width = width;
    l->Height = height;
    l->SetParent(&band);
    return *l;
}

// A text label showing `caption`.
TDaxTextLabel& Text(TDaxBand& band, const std::string& name, const std::string& caption, int left, int top,
                    int width = 65, int height = 17);
// A variable label showing `var`.
TDaxvarlabel& VarLabel(TDaxBand& band, const std::string& name, TDaxVar& var, int left, int top, int width = 65,
                       int height = 17);

// An expression variable updated at `level` (the detail band's when nil).
TDaxExprVar& ExprVar(TDaxReportPage& page, const std::string& name, TDaxDataTypes type, TDaxLevel* level = nullptr);
// A total of `of`, updated with it.
TDaxTotalvar& Total(TDaxReportPage& page, const std::string& name, TDaxVar& of);
// A group breaking on `var`, with a header and a footer band (0 height: none), each with a
// level of its own.
TDaxGroup& Group(TDaxReportPage& page, const std::string& name, TDaxVar* var, int headerHeight, int footerHeight);
// A level on the page.
TDaxLevel& Level(TDaxReportPage& page, const std::string& name, bool isHeader = false);

template <class B>
B& Band(TDaxReportPage& page, const std::string& name, int height, TDaxBand* owner)
{
    auto* b = new B(&page);
    b->SetName(name);
    b->BandName = name;
    b->Height = height;
    if constexpr (std::is_base_of_v<TDaxDataHeadBand, B>)
        b->Band = dynamic_cast<TDaxSubDataBand*>(owner);
    else if constexpr (requires { b->Band = owner; })
        b->Band = owner;
    b->SetParent(&page);
    return *b;
}

} // namespace DaxBuild
