// The azimuth-pattern comparison window: up to four catalog patterns on one polar plot, each
// in its own colour and rotated on its own, with their gains; the comparison printed or made
// into a PDF page, the data of a single pattern printed or written to a pattern file.
#pragma once

#include "platform/ui/Dialogs.h"
#include "platform/ui/Forms.h"
#include "ui_AzPats.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TCanvas;
class TImage;
class TFSpinEdit;

// X11's headers name a type Display too.
namespace AzPtrns {

// One position of the comparison: empty, previewed (clicked in the pattern list) or included
// (">" moved it to the selected list).
class Display {
public:
    enum : uint8_t { dsEmpty = 0, dsPreviewed = 1, dsIncluded = 2 };

    uint8_t GetState() const { return state_; }
    const std::string& GetCode() const { return code_; }
    double GetGain() const { return gain_; }  // numeric power ratio
    const std::string& GetPolarization() const { return polarization_; }
    int32_t GetRotation() const { return rotation_; }

    // Previewed, with rotation 0.
    void AssignPattern(const std::string& code, const std::string& polarization, double gain);
    void MarkDrawn() { state_ = dsIncluded; }
    // Empty; the other fields keep their values.
    void ClearSlot() { state_ = dsEmpty; }
    void SetRotation(int32_t degrees) { rotation_ = degrees; }

private:
    uint8_t state_ = dsEmpty;
    std::string code_;
    double gain_ = 0;
    std::string polarization_;
    int32_t rotation_ = 0;
};

}  // namespace AzPtrns

constexpr int kComparisonSlots = 4;

class TAzPats : public TForm, public Ui::AzPats {
public:
    using Display = AzPtrns::Display;

    explicit TAzPats(QWidget* owner = nullptr);

    void FormShow(QObject* Sender);
    void RadioGroup3Click(QObject* Sender);
    void AzPatListClick(QObject* Sender);
    void IncludeBtnClick(QObject* Sender);
    void ExcludeBtnClick(QObject* Sender);
    void ExcAllBtnClick(QObject* Sender);
    void SelListClick(QObject* Sender);
    void SelListEnter(QObject* Sender);
    // Spin edit n (1 .. 4) changed.
    void SpinEditChange(int n);
    void RadioGroup1Click(QObject* Sender);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);

    // The legend rows and traces of the included slots on the printed comparison page.
    void DrawComparisonLegend(TCanvas& canvas);

    // Slot n (1 .. 4).
    const Display& Slot(int n) const { return slots_[n - 1]; }
    int SelectedCount() const { return selectedCount_; }
    const std::string& Polarization() const { return polarization_; }
    TImage* SlotImage(int n) const { return images_[n]; }
    TFSpinEdit* SpinEdit(int n) const { return spins_[n - 1]; }
    // The slot colours: 1 blue, 2 red, 3 green, 4 fuchsia.
    static int32_t SlotColor(int n);

    TSaveDialog SaveDialog1;  // PDF
    TPrintDialog PrintDialog1;
    TSaveDialog SaveDialog2;  // Print to Disk

private:
    void InitComparison();
    void LoadBlock(int32_t base);
    void UpdateControls();
    void UpdatePrintOptions();
    void ClearTraceImage(int n);
    void DrawSlot(int n, int penWidth);
    void DrawGrid();
    void ShowPatternData(const Display* slot);
    void EmptySelectedLines();
    void SetLine(int k, const std::string& text);
    // The slot the single-pattern commands work on: slot 1 when it holds a pattern, else the
    // included one, else the previewed one; 0 when there is none.
    int SinglePatternSlot() const;
    void PrintGraph();
    void PrintData();
    void PrintToDisk();
    void CreateComparisonPdf();

    std::string polarization_ = "Horizontal";
    std::array<Display, kComparisonSlots> slots_;
    std::array<std::string, kComparisonSlots> names_;  // the list name each slot was previewed under
    int selectedCount_ = 0;
    std::array<TImage*, kComparisonSlots + 1> images_{};
    std::array<TFSpinEdit*, kComparisonSlots> spins_{};
    int32_t block_ = 5000;
    int32_t lastRow_ = 5000;
    std::vector<std::string> codes_;  // parallel to AzPatList
};

// The start-up instance.
extern TAzPats* AzPats;

// The gain text of the legends and the data page: ratio and dB with two decimals.
std::string ComparisonGainText(double gain);
