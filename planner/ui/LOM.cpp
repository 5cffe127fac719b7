#include "planner/ui/LOM.h"

#include "planner/resources/glyphs/Pictures.h"

#include <QHeaderView>

TfrmLOM::TfrmLOM(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    sbSave->setIcon(ToolGlyph(TGlyph::Save));
    sbPrint->setIcon(ToolGlyph(TGlyph::Print));
    sbClose->setIcon(ToolGlyph(TGlyph::Close));
    // Two columns, one row, nothing fixed.
    ImpGrid1->SetColCount(2);
    ImpGrid1->SetRowCount(1);
    ImpGrid1->SetFixedCols(0);
    ImpGrid1->SetFixedRows(0);
    ImpGrid1->SetColWidths(0, 50);
    ImpGrid1->SetColWidths(1, 570);
    // The list is never filled, so saving and printing it have nothing to work on.
    sbSave->setEnabled(false);
    sbPrint->setEnabled(false);
    Save1->setEnabled(false);
    Print1->setEnabled(false);
    sbClose->OnClick = [this](QObject* s) { sbCloseClick(s); };
    QObject::connect(Close1, &QAction::triggered, this, [this] { Guarded([this] { sbCloseClick(Close1); }); });
    FixBorder();
}

void TfrmLOM::sbCloseClick(QObject*) { Close(); }
