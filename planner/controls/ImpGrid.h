// TImpGrid: a string grid whose header row, header column and column widths are string
// lists. Row 0 and column 0 are ordinary cells of the grid (shown as fixed cells while
// FixedRows/FixedCols cover them); Qt's own header views are hidden.
//   HeaderCol: texts of row 0, one per column;
//   HeaderRow: texts of column 0 from row 1 on, one per row;
//   ColWidth:  column widths as decimal text, one per column (EConvertError for an entry
//              that is no integer).
// Setting a list applies it at once; Loaded() applies all three (HeaderCol, HeaderRow,
// ColWidth) and is called by the form once its layout has been read.
#pragma once

#include "platform/runtime/Classes.h"

#include <QStringList>
#include <QTableWidget>
#include <string>

class TImpGrid : public QTableWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList HeaderCol READ HeaderColList WRITE SetHeaderColList)
    Q_PROPERTY(QStringList HeaderRow READ HeaderRowList WRITE SetHeaderRowList)
    Q_PROPERTY(QStringList ColWidth READ ColWidthList WRITE SetColWidthList)
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)

public:
    explicit TImpGrid(QWidget* parent = nullptr);

    const TStrings& HeaderCol() const { return headerCol_; }
    void SetHeaderCol(const TStrings& list);
    const TStrings& HeaderRow() const { return headerRow_; }
    void SetHeaderRow(const TStrings& list);
    const TStrings& ColWidth() const { return colWidth_; }
    void SetColWidth(const TStrings& list);

    virtual void Loaded();

    // The string grid underneath (sizes default to 5 x 5 with one fixed row and column,
    // columns 64 wide, rows 24 high).
    int ColCount() const { return columnCount(); }
    void SetColCount(int n);
    int RowCount() const { return rowCount(); }
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int n);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int n);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int w);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);
    // "" outside the grid.
    std::string Cells(int col, int row) const;
    // Raises EListError outside the grid.
    void SetCells(int col, int row, const std::string& text);
    int ColWidths(int col) const { return columnWidth(col); }
    void SetColWidths(int col, int width);

private:
    void ApplyHeaderCol();
    void ApplyHeaderRow();
    void ApplyColWidth();
    void StyleCells();
    void StyleItem(QTableWidgetItem* it, int col, int row) const;
    QTableWidgetItem* Item(int col, int row);

    QStringList HeaderColList() const;
    void SetHeaderColList(const QStringList& l);
    QStringList HeaderRowList() const;
    void SetHeaderRowList(const QStringList& l);
    QStringList ColWidthList() const;
    void SetColWidthList(const QStringList& l);

    TStringList headerCol_;
    TStringList headerRow_;
    TStringList colWidth_;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
};
