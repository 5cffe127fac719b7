// "FAST Label Utility": the tool that drops variable labels with their caption labels on a
// report page's bands (report/design, Qt Widgets; layout in forms/RpxDropLabels.ui). The
// designer calls DropOnBand when the user drops the chosen variables on a band.
#pragma once

#include "RpxLabelDrop.h"

#include <QDialog>

#include <memory>
#include <set>

namespace Ui {
class RpxDropLabels;
}
class QComboBox;
class QListWidget;
class QToolButton;
class QPushButton;
class QAction;

class TRpxDropLabels : public QDialog {
    Q_OBJECT
public:
    explicit TRpxDropLabels(TDaxReportPage& page, QWidget* parent = nullptr);
    ~TRpxDropLabels() override;

    // Drops the selected variables at (x, y) of the band: labels there, captions in the
    // band chosen in TextBand, in the chosen layout.
    void DropOnBand(TDaxBand& band, int x, int y);

    TRpxLabelDrop& Drop() { return drop_; }
    const std::set<int>& SelectedRows() const { return selected_; }
    int Columns() const { return columns_; }

    QComboBox* VariableSelection() const;
    QComboBox* TextBand() const;
    QListWidget* RpxVariableList() const;
    QToolButton* Button(const char* name) const;
    QPushButton* Button1() const;
    QAction* Stayontop1() const;
    QAction* Hide1() const;

private:
    void FormCreate();
    void FillTextBand();
    void VariableSelectionChange();
    void RpxVariableListClick();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Stayontop1Click();
    void ShowColumns();

    std::unique_ptr<Ui::RpxDropLabels> ui_;
    TRpxLabelDrop drop_;
    std::vector<TRpxDropVariable> rows_;
    std::set<int> selected_;
    int columns_ = 3;
};
