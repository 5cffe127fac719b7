#include "DaxBuilder.h"

namespace DaxBuild {

TDaxReportPage& Page(TDaxReport& report, const std::string& name)
{
    auto* p = new TDaxReportPage(&report);
    p->SetName(name);
    p->SetParent(&report);
    return *p;
}

TDaxLevel& Level(TDaxReportPage& page, const std::string& name, bool isHeader)
{
    auto* l = new TDaxLevel(&page);
    l->SetName(name);
    l->IsHeader = isHeader;
    l->SetParent(&page);
    return *l;
}

void DefaultBands(TDaxReportPage& page, int height)
{
    struct Fixed {
        const char* name;
        const char* caption;
        TDaxBand* TDaxReportPage::*slot;
        bool header;
    };
    static const Fixed fixed[] = {
        {"ReportHeaderBand", "Report Header", &TDaxReportPage::Head, true},
        {"PageHeaderBand", "Page Header", &TDaxReportPage::PageHead, true},
        {"DetailBand", "Detail", &TDaxReportPage::Detail, false},
        {"PageFooterBand", "Page Footer", &TDaxReportPage::PageFoot, false},
        {"ReportFooterBand", "Report Footer", &TDaxReportPage::Foot, false},
    };
    for (const Fixed& f : fixed) {
        TDaxBand& b = Band<TDaxBand>(page, f.name, height);
        b.BandName = f.caption;
        b.Updatelevel = &Level(page, std::string(f.name) + "level", f.header);
        page.*f.slot = &b;
    }
    page.Head->Visible = false;
}

TDaxTextLabel& Text(TDaxBand& band, const std::string& name, const std::string& caption, int left, int top, int width,
                    int height)
{
    auto& l = Label<TDaxTextLabel>(band, name, left, top, width, height);
    l.Caption = caption;
    return l;
}

TDaxvarlabel& VarLabel(TDaxBand& band, const std::string& name, TDaxVar& var, int left, int top, int width, int height)
{
    auto& l = Label<TDaxvarlabel>(band, name, left, top, width, height);
    l.SetVariable(&var);
    return l;
}

TDaxExprVar& ExprVar(TDaxReportPage& page, const std::string& name, TDaxDataTypes type, TDaxLevel* level)
{
    auto* v = new TDaxExprVar(&page);
    v->SetName(name);
    v->SetDataType(type);
    v->SetParent(&page);
    v->SetUpdateLevel(level ? level : page.FixedBandLevel(TDaxFixedBand::fbDetail));
    return *v;
}

TDaxTotalvar& Total(TDaxReportPage& page, const std::string& name, TDaxVar& of)
{
    auto* t = new TDaxTotalvar(&page);
    t->SetName(name);
    t->SetParent(&page);
    t->SetVariable(&of);
    t->SetUpdateLevel(of.UpdateLevel());
    return *t;
}

TDaxGroup& Group(TDaxReportPage& page, const std::string& name, TDaxVar* var, int headerHeight, int footerHeight)
{
    auto* g = new TDaxGroup(&page);
    g->Variable = var;
    g->Level = static_cast<int>(page.Groups().size());
    g->SetParent(&page);
    if (headerHeight > 0) {
        g->Header = &Band<TDaxBand>(page, name + "Header", headerHeight);
        g->Header->Updatelevel = &Level(page, name + "Headerlevel", true);
    }
    if (footerHeight > 0) {
        g->Footer = &Band<TDaxBand>(page, name + "Footer", footerHeight);
        g->Footer->Updatelevel = &Level(page, name + "Footerlevel");
    }
    g->SetName(name);
    return *g;
}

} // namespace DaxBuild
