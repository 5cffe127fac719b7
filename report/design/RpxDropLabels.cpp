#include "RpxDropLabels.h"

#include "RpxFastAskForm.h"

#include "ui_RpxDropLabels.h"

#include <QGuiApplication>
#include <QScreen>

TRpxDropLabels::TRpxDropLabels(TDaxReportPage& page, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::RpxDropLabels>()), drop_(page)
{
    ui_->setupUi(this);
    addAction(ui_->Stayontop1);
    addAction(ui_->Hide1);
    connect(ui_->VariableSelection, &QComboBox::currentIndexChanged, this, &TRpxDropLabels::VariableSelectionChange);
    connect(ui_->RpxVariableList, &QListWidget::itemSelectionChanged, this, &TRpxDropLabels::RpxVariableListClick);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TRpxDropLabels::SpeedButton1Click);
    connect(ui_->SpeedButton2, &QToolButton::clicked, this, &TRpxDropLabels::SpeedButton2Click);
    connect(ui_->SpeedButton3, &QToolButton::clicked, this, &TRpxDropLabels::SpeedButton3Click);
    connect(ui_->Stayontop1, &QAction::triggered, this, &TRpxDropLabels::Stayontop1Click);
    connect(ui_->Hide1, &QAction::triggered, this, &QDialog::close);
    connect(ui_->Button1, &QPushButton::clicked, this, &QDialog::close);
    FormCreate();
}

TRpxDropLabels::~TRpxDropLabels() = default;

void TRpxDropLabels::FormCreate()
{
    const QRect undo = ui_->pnlUndo->geometry();
    resize(undo.x() + undo.width() + 3, height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().x() + (screen->availableGeometry().width() - width()) / 2, 0);
    const QSignalBlocker block(ui_->VariableSelection);
    for (const std::string& c : DropCategories(drop_.Page())) ui_->VariableSelection->addItem(QString::fromStdString(c));
    ui_->VariableSelection->setCurrentIndex(0);
    FillTextBand();
    VariableSelectionChange();
}

void TRpxDropLabels::FillTextBand()
{
    ui_->TextBand->clear();
    ui_->TextBand->addItem("No Text Label");
    for (const TDaxBand* b : drop_.Page().Bands())
        ui_->TextBand->addItem(QString::fromStdString(b->BandName.empty() ? b->Name() : b->BandName));
}

void TRpxDropLabels::VariableSelectionChange()
{
    // The choice survives a refill of the categories; one out of range falls back to "All".
    int category = ui_->VariableSelection->currentIndex();
    const auto categories = DropCategories(drop_.Page());
    if (category < 0 || category >= static_cast<int>(categories.size())) category = 0;
    {
        const QSignalBlocker block(ui_->VariableSelection);
        ui_->VariableSelection->clear();
        for (const std::string& c : categories) ui_->VariableSelection->addItem(QString::fromStdString(c));
        ui_->VariableSelection->setCurrentIndex(category);
    }
    rows_ = CategoryVariables(drop_.Page(), category);
    {
        const QSignalBlocker block(ui_->RpxVariableList);
        ui_->RpxVariableList->clear();
        for (const TRpxDropVariable& r : rows_) ui_->RpxVariableList->addItem(QString::fromStdString(r.Text));
    }
    selected_.clear();
    ShowColumns();
}

void TRpxDropLabels::ShowColumns()
{
    QListWidget* list = ui_->RpxVariableList;
    const int items = list->count();
    list->resize(list->width(), items * 13 / columns_ + 13);
    list->setGridSize(QSize(std::max(1, (list->viewport()->width() - 1) / columns_), 13));
    resize(width(), list->y() + list->height() + 4);
}

void TRpxDropLabels::RpxVariableListClick()
{
    selected_.clear();
    for (const QListWidgetItem* item : ui_->RpxVariableList->selectedItems())
        selected_.insert(ui_->RpxVariableList->row(item));
}

void TRpxDropLabels::SpeedButton1Click() { drop_.Undo(); }

void TRpxDropLabels::SpeedButton2Click()
{
    if (columns_ < 10) ++columns_;
    ShowColumns();
}

void TRpxDropLabels::SpeedButton3Click()
{
    if (columns_ > 2) --columns_;
    setToolTip("Decreasing the number of columns by one.");
    ShowColumns();
}

void TRpxDropLabels::Stayontop1Click()
{
    const bool onTop = !(windowFlags() & Qt::WindowStaysOnTopHint);
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) show();   // changing the flags hides the window
    ui_->Stayontop1->setChecked(onTop);
}

void TRpxDropLabels::DropOnBand(TDaxBand& band, int x, int y)
{
    TRpxDropRequest r;
    for (int row : selected_)
        if (row >= 0 && row < static_cast<int>(rows_.size())) r.Variables.push_back(rows_[static_cast<size_t>(row)].Var);
    r.Target = &band;
    const int captionBand = ui_->TextBand->currentIndex() - 1;
    const auto& bands = drop_.Page().Bands();
    if (captionBand >= 0 && captionBand < static_cast<int>(bands.size())) r.CaptionBand = bands[static_cast<size_t>(captionBand)];
    r.Layout = ui_->sbVert->isChecked() ? dlVertical : ui_->sbHorizdiv->isChecked() ? dlHorizontalDividers : dlHorizontal;
    r.Caption = ui_->sbLeft->isChecked() ? cpLeft : cpAbove;
    r.X = x;
    r.Y = y;
    drop_.Drop(r, [this] {
        TRpxFastAskForm ask(this);
        return ask.Ask();
    });
}

QComboBox* TRpxDropLabels::VariableSelection() const { return ui_->VariableSelection; }
QComboBox* TRpxDropLabels::TextBand() const { return ui_->TextBand; }
QListWidget* TRpxDropLabels::RpxVariableList() const { return ui_->RpxVariableList; }
QToolButton* TRpxDropLabels::Button(const char* name) const { return findChild<QToolButton*>(name); }
QPushButton* TRpxDropLabels::Button1() const { return ui_->Button1; }
QAction* TRpxDropLabels::Stayontop1() const { return ui_->Stayontop1; }
QAction* TRpxDropLabels::Hide1() const { return ui_->Hide1; }
