// The wizard's second page: the azimuth patterns of the chosen family for horizontal and (for
// elliptical designs) vertical polarization, shown as polar plots with their gains, rotated
// by the user; for an antenna of another make a description and a numeric gain instead. The
// page writes its choices into the antenna object and draws the plot of the exhibit image.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "planner/controls/FSpin.h"
#include "planner/ui/AutoNb.h"
#include "planner/ui/PageControls.h"
#include "ui_frm2.h"

#include <cstdint>

class Tfrm2 : public TChildForm, public Ui::frm2 {
public:
    explicit Tfrm2(QWidget* owner = nullptr);

    void PageShown() override;

    void HPolAzClick(QObject* Sender);
    void VPolAzClick(QObject* Sender);
    void PopulateVPolList(bool refill);
    void TabSet1Change(QObject* Sender, int NewTab);
    void RadioGroup1Click(QObject* Sender);
    void RadioGroup2Click(QObject* Sender);
    void SpinButton1UpClick(QObject* Sender);
    void SpinButton1DownClick(QObject* Sender);
    void Edit3Change(QObject* Sender);
    void Edit6Change(QObject* Sender);
    void Edit8Change(QObject* Sender);
    void FSpinEdit1Change(QObject* Sender);
    void FSpinEdit2Change(QObject* Sender);

    // The catalogs in use: base ids (0 = none).
    int32_t HCatalog() const { return hCatalog_; }
    int32_t VCatalog() const { return vCatalog_; }

private:
    void ChooseCatalogs();
    void ShowPage(const char* caption);
    void DrawScreenPlot(TImage* image);
    void DrawPdfPlot();
    void ShowGain(float ratio, float db);
    // The rotation field set by the page (not typed): also where a refused entry returns to.
    void ShowRotation(const std::string& text);
    // The catalog row of a list entry, or "" past the catalog's end.
    std::string CatalogRow(int32_t base, int index) const;

    int32_t hCatalog_ = 0;
    int32_t vCatalog_ = 0;
    int32_t zekVerticalRow_ = 4001;  // the Zek vertical row last offered
    std::string entryText_ = "0";    // the rotation text before the user's entry
};
