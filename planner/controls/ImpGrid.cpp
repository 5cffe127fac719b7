#include "planner/controls/ImpGrid.h"

#include "platform/runtime/NumText.h"
#include "platform/runtime/SysUtils.h"

#include <QHeaderView>
#include <algorithm>

namespace {

QStringList ToQt(const TStrings& s)
{
    QStringList l;
    for (int i = 0; i < s.Count(); ++i) l << QString::fromStdString(s[i]);
    return l;
}

TStringList FromQt(const QStringList& l)
{
    TStringList s;
    for (const QString& e : l) s.Add(e.toStdString());
    return s;
}

} // namespace

TImpGrid::TImpGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(5);
    setRowCount(5);
    StyleCells();
}

void TImpGrid::SetHeaderCol(const TStrings& list)
{
    headerCol_.Assign(list);
    ApplyHeaderCol();
    viewport()->update();
}

void TImpGrid::SetHeaderRow(const TStrings& list)
{
    headerRow_.Assign(list);
    ApplyHeaderRow();
    viewport()->update();
}

void TImpGrid::SetColWidth(const TStrings& list)
{
    colWidth_.Assign(list);
    ApplyColWidth();
    viewport()->update();
}

void TImpGrid::Loaded()
{
    ApplyHeaderCol();
    ApplyHeaderRow();
    ApplyColWidth();
}

void TImpGrid::ApplyHeaderCol()
{
    if (RowCount() < 1) return;
    for (int c = 0; c < ColCount(); ++c) SetCells(c, 0, c < headerCol_.Count() ? headerCol_[c] : std::string());
}

void TImpGrid::ApplyHeaderRow()
{
    if (ColCount() < 1) return;
    for (int r = 1; r < RowCount(); ++r) SetCells(0, r, r - 1 < headerRow_.Count() ? headerRow_[r - 1] : std::string());
}

void TImpGrid::ApplyColWidth()
{
    const int n = std::min(ColCount(), colWidth_.Count());
    for (int c = 0; c < n; ++c) SetColWidths(c, StrToInt(colWidth_[c]));
}

void TImpGrid::SetColCount(int n)
{
    setColumnCount(std::max(1, n));
    StyleCells();
}

void TImpGrid::SetRowCount(int n)
{
    setRowCount(std::max(1, n));
    StyleCells();
}

void TImpGrid::SetFixedCols(int n)
{
    fixedCols_ = std::max(0, n);
    StyleCells();
}

void TImpGrid::SetFixedRows(int n)
{
    fixedRows_ = std::max(0, n);
    StyleCells();
}

void TImpGrid::SetDefaultColWidth(int w)
{
    defaultColWidth_ = std::max(0, w);
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    for (int c = 0; c < ColCount(); ++c) setColumnWidth(c, defaultColWidth_);
}

void TImpGrid::SetDefaultRowHeight(int h)
{
    defaultRowHeight_ = std::max(0, h);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    for (int r = 0; r < RowCount(); ++r) setRowHeight(r, defaultRowHeight_);
}

QTableWidgetItem* TImpGrid::Item(int col, int row)
{
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        StyleItem(it, col, row);
        setItem(row, col, it);
    }
    return it;
}

void TImpGrid::StyleItem(QTableWidgetItem* it, int col, int row) const
{
    // Fixed cells take the button colour and can be neither selected nor edited.
    const bool fixed = row < fixedRows_ || col < fixedCols_;
    it->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    it->setBackground(fixed ? palette().button() : QBrush());
}

std::string TImpGrid::Cells(int col, int row) const
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return {};
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text().toStdString() : std::string();
}

void TImpGrid::SetCells(int col, int row, const std::string& text)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw EListError("Grid index out of range (" + IntToStr(col) + ", " + IntToStr(row) + ")");
    Item(col, row)->setText(QString::fromStdString(text));
}

void TImpGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= ColCount()) throw EListError("Grid index out of range (" + IntToStr(col) + ")");
    setColumnWidth(col, std::max(0, width)); // a negative width hides the column
}

void TImpGrid::StyleCells()
{
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            const bool fixed = r < fixedRows_ || c < fixedCols_;
            if (QTableWidgetItem* it = item(r, c)) StyleItem(it, c, r);
            else if (fixed) Item(c, r);
        }
}

QStringList TImpGrid::HeaderColList() const { return ToQt(headerCol_); }
void TImpGrid::SetHeaderColList(const QStringList& l) { SetHeaderCol(FromQt(l)); }
QStringList TImpGrid::HeaderRowList() const { return ToQt(headerRow_); }
void TImpGrid::SetHeaderRowList(const QStringList& l) { SetHeaderRow(FromQt(l)); }
QStringList TImpGrid::ColWidthList() const { return ToQt(colWidth_); }
void TImpGrid::SetColWidthList(const QStringList& l) { SetColWidth(FromQt(l)); }
