#include "DemoWalks.h"

#include "platform/input/KeyTable.h"
#include "planner/controls/ImpGrid.h"
#include "planner/engine/ProjObj.h"
#include "planner/ui/Main.h"
#include "planner/ui/Sysinfo.h"
#include "planner/ui/Wizard.h"
#include "planner/ui/unit1.h"
#include "planner/ui/unit4.h"
#include "planner/ui/unit5.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <cstdio>

namespace {

template <class T>
T* Page(int index)
{
    auto* w = ShownWindow<TfrmWizard>();
    if (!w || w->nb->GetPageIndex() != index) return nullptr;
    return dynamic_cast<T*>(w->nb->GetPageForm(index));
}

QWidget* RadioItem(TRadioGroup* group, const char* text)
{
    for (QAbstractButton* b : group->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

QWidget* BoxButton(const char* text)
{
    auto* box = ShownWindow<QMessageBox>();
    if (!box) return nullptr;
    for (QAbstractButton* b : box->findChildren<QAbstractButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// The row of the line grid that lists the part, at the middle of its part-number cell.
bool ClickLine(const char* part)
{
    auto* p4 = Page<Tfrm4>(4);
    if (!p4 || !p4->SG1->isVisible()) return false;
    if (qEnvironmentVariableIsSet("MW_SCRIPT_TRACE"))
        for (int r = 0; r < p4->SG1->RowCount(); ++r)
            if (QTableWidgetItem* item = p4->SG1->item(r, 1))
                std::fprintf(stderr, "row %d %s %s\n", r, item->text().toStdString().c_str(),
                             p4->SG1->viewport()->rect().contains(p4->SG1->visualItemRect(item).center()) ? "shown" : "");
    for (int r = 0; r < p4->SG1->RowCount(); ++r) {
        QTableWidgetItem* item = p4->SG1->item(r, 1);
        if (!item || item->text() != part) continue;
        // Scrolling is no input a recording keeps: the row must show.
        const QRect cell = p4->SG1->visualItemRect(item);
        if (!p4->SG1->viewport()->rect().contains(cell.center())) return false;
        TInputScript::SendClick(p4->SG1->viewport(), cell.center());
        return true;
    }
    return false;
}

void Next(TInputScript& s, int fromPage)
{
    s.Click("Next on page " + std::to_string(fromPage), [fromPage]() -> QWidget* {
        auto* w = ShownWindow<TfrmWizard>();
        return w && w->nb->GetPageIndex() == fromPage ? w->BitBtnNext : nullptr;
    });
}

void LineAndPower(TInputScript& s, const TDemoDesign& d, bool power)
{
    s.Wait(4);
    s.Step(std::string("the line ") + d.linePart, [part = d.linePart] { return ClickLine(part); });
    s.Wait(6);
    if (!power) return;
    Next(s, 4);
    s.Wait(4);
    s.Type("the transmitter power", [] { auto* p = Page<Tfrm5>(5); return p ? p->NumEdit4 : nullptr; }, d.tpo);
    s.Wait(8);
}

}  // namespace

const std::vector<TDemoDesign>& BuiltInDemos()
{
    static const std::vector<TDemoDesign> demos = {
        {"hpntsc.dms", "H-pol NTSC", false, 32, 0, false, "WR1500", "60"},
        {"epntsc.dms", "E-pol NTSC", false, 20, 0, true, "WR1800", "40"},
        {"hpdtv.dms", "H-pol DTV", false, 44, 1, false, "RL50-158", "50"},
        {"epdtv.dms", "E-pol DTV", false, 44, 1, true, "CWG-150", "30"},
        {"txtable.dms", "TxLine Table", true, 32, 0, false, "WR1500", ""},
    };
    return demos;
}

void AddDemoWalk(TInputScript& s, TFrmMain& main, const TDemoDesign& d)
{
    TFrmMain* m = &main;
    if (d.lineUtility) {
        s.Click("the line utility", [m] { return m->sbForm4; });
        LineAndPower(s, d, false);
        s.Click("Finish", [] { auto* w = ShownWindow<TfrmWizard>(); return w ? w->BitBtnNext : nullptr; });
        s.Wait(4);
        return;
    }
    s.Click("Start New Design", [m] { return m->BitBtnStart; });
    auto site = [] { return ShownWindow<TfrmSysInfo>(); };
    s.Type("the company", [site] { auto* f = site(); return f ? f->CoName : nullptr; }, "Belvor Broadcast");
    s.Type("the site", [site] { auto* f = site(); return f ? f->edSiteName : nullptr; }, std::string("Demo ") + d.what);
    s.Click("OK", [site] { auto* f = site(); return f ? f->BitBtn1 : nullptr; });
    // Page 1: channel from the list (it opens at channel 32), service, family, polarization.
    s.Wait(4);
    s.Click("the channel list", [] { auto* p = Page<Tfrm1>(1); return p ? p->USTV : nullptr; });
    s.Wait(3);
    // The list closes again and the arrow keys step the channel in the box itself.
    s.Key("close the list", VK_ESCAPE);
    s.Wait(2);
    const int steps = d.channel - 32;
    for (int i = 0; i < std::abs(steps); ++i) s.Key("a channel step", steps > 0 ? 0x28 : 0x26);
    s.Wait(3);
    s.Click("the service", [std = d.standard] {
        auto* p = Page<Tfrm1>(1);
        return p ? RadioItem(p->RadioGroup2, std == 0 ? "Analog (NTSC)" : "Digital (DTV)") : nullptr;
    });
    s.Click("the antenna family", [] { auto* p = Page<Tfrm1>(1); return p ? p->RadioButton2 : nullptr; });
    s.Click("the polarization", [ell = d.elliptical]() -> QWidget* {
        auto* p = Page<Tfrm1>(1);
        return p ? (ell ? p->RadioButton5 : p->RadioButton4) : nullptr;
    });
    s.Wait(3);
    Next(s, 1);
    // Page 2: the user thinks of cancelling and does not.
    s.Wait(4);
    s.Click("Cancel", [] { auto* w = ShownWindow<TfrmWizard>(); return w && w->nb->GetPageIndex() == 2 ? w->BitBtnCancel : nullptr; });
    s.Click("No, go on", [] { return BoxButton("&No"); });
    s.Wait(3);
    Next(s, 2);
    s.Wait(4);
    Next(s, 3);
    LineAndPower(s, d, true);
    s.Click("Finish", [] { auto* w = ShownWindow<TfrmWizard>(); return w && w->nb->GetPageIndex() == 5 ? w->BitBtnNext : nullptr; });
    s.Wait(4);
}

std::string DesignSummary()
{
    char power[32];
    std::snprintf(power, sizeof power, "%.2f kW", static_cast<double>(Sys().GetPower()));
    return "channel " + std::to_string(Sys().GetChannel()) + ", " + (Sys().Standard == 0 ? "NTSC" : "DTV") + ", " +
           (Ant().Elliptical ? "elliptical" : "horizontal") + ", antenna " + Ant().PartNumber + ", line " +
           TLine().LinePartNumber + ", " + power;
}
