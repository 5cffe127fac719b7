// Dropping variable labels and their caption labels on bands in one step (report/design,
// no Qt): the variable categories of a page, the labels made for a drop, their three layouts,
// what becomes of a drop that passes the printable width, and undoing the last drop.
#pragma once

#include "DaxDesigner.h"

#include "report/generate/DaxReport.h"

#include <functional>
#include <string>
#include <vector>

enum TRpxDropLayout : uint8_t { dlHorizontal, dlHorizontalDividers, dlVertical };
enum TRpxCaptionPosition : uint8_t { cpAbove, cpLeft };
// The answers to the question asked when dropped labels pass the printable width.
enum TRpxFitAnswer : uint8_t { faWrap, faShrink, faDelete, faIgnore, faCancel };

// The fixed categories ("All", "Expression", "Total", "System", "Manual DB"), then the name
// of every data source the page's data bands use.
std::vector<std::string> DropCategories(const TDaxReportPage& page);
constexpr int kFixedDropCategories = 5;

// One row of the variable list.
struct TRpxDropVariable {
    TDaxVar* Var = nullptr;
    std::string Text;
};
// The variables of a category (an index into DropCategories; one out of range is "All").
// A data-source entry lists that source's data-field variables by their field names, the
// others list variables by name.
std::vector<TRpxDropVariable> CategoryVariables(const TDaxReportPage& page, int category);

struct TRpxDropRequest {
    std::vector<TDaxVar*> Variables;
    TDaxBand* Target = nullptr;        // the band the variable labels go into
    TDaxBand* CaptionBand = nullptr;   // the band of the caption labels; nil: no captions
    TRpxDropLayout Layout = dlHorizontal;
    TRpxCaptionPosition Caption = cpAbove;
    int X = 0, Y = 0;                  // the drop point in the target band, pixels
};

class TRpxLabelDrop {
public:
    using TAskFit = std::function<TRpxFitAnswer()>;

    explicit TRpxLabelDrop(TDaxReportPage& page) : page_(page) {}
    ~TRpxLabelDrop() = default;
    TRpxLabelDrop(const TRpxLabelDrop&) = delete;
    TRpxLabelDrop& operator=(const TRpxLabelDrop&) = delete;

    // Makes and places the labels of a drop. When more than one label was dropped and the
    // last one ends beyond the page's printable width, `askFit` decides what happens.
    void Drop(const TRpxDropRequest& request, const TAskFit& askFit);
    // Removes and frees the labels of the last drop that are still on the page.
    void Undo();

    TDaxReportPage& Page() const { return page_; }
    TDaxDesigner* Designer = nullptr;

    // The labels made by the last drop.
    std::vector<TDaxLabel*> VarLabels;        // variable, total and image labels
    std::vector<TDaxLabel*> CheckLabels;
    std::vector<TDaxLabel*> TextLabels;       // captions
    std::vector<TDaxLabel*> Dividers;

private:
    struct TPair {
        TDaxLabel* Label = nullptr;
        TDaxTextLabel* Caption = nullptr;
        TDaxVerticalDivider* Divider = nullptr;
        int Right = 0;   // where the pair ends once placed
    };
    TPair MakePair(TDaxVar& var, const TRpxDropRequest& r, bool first);
    void Place(const TRpxDropRequest& r, bool wrap);
    void Shrink(const TRpxDropRequest& r);
    void DeleteFrom(size_t first);
    void Forget();
    void Free(TDaxLabel* label);

    TDaxReportPage& page_;
    std::vector<TPair> pairs_;
};
