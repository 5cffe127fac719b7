#include "platform/ui/ExtCtrls.h"

#include <QGridLayout>
#include <QPalette>

TPanel::TPanel(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
}

void TPanel::SetColor(uint32_t bgr)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
    setPalette(p);
}

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) { new QGridLayout(this); }

TStringList TRadioGroup::Items() const
{
    TStringList list;
    for (const auto& s : items_) list.Add(s);
    return list;
}

void TRadioGroup::SetItems(const TStrings& items)
{
    items_.clear();
    for (int i = 0; i < items.Count(); ++i) items_.push_back(items[i]);
    Rebuild();
}

void TRadioGroup::SetColumns(int columns)
{
    columns_ = columns < 1 ? 1 : columns;
    Rebuild();
}

void TRadioGroup::Rebuild()
{
    for (auto* b : buttons_) delete b;
    buttons_.clear();
    const int keep = itemIndex_;
    itemIndex_ = -1;
    auto* grid = static_cast<QGridLayout*>(layout());
    const int n = static_cast<int>(items_.size());
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i) {
        auto* b = new TRadioButton(this);
        b->setText(ToQt(items_[i]));
        grid->addWidget(b, i % rows, i / rows);
        buttons_.push_back(b);
    }
    // Restore the choice quietly, then let the buttons report clicks.
    if (keep >= 0 && keep < n) {
        buttons_[keep]->setChecked(true);
        itemIndex_ = keep;
    }
    for (int i = 0; i < n; ++i) buttons_[i]->OnClick = [this, i](QObject*) { ButtonClicked(i); };
}

void TRadioGroup::ButtonClicked(int index)
{
    if (index == itemIndex_) return;
    itemIndex_ = index;
    CallEvent(OnClick, this);
}

void TRadioGroup::SetItemIndex(int index)
{
    const int n = static_cast<int>(buttons_.size());
    if (index >= n) index = n - 1;
    if (index < -1) index = -1;
    if (index == itemIndex_) return;
    if (index < 0) {
        TRadioButton* b = buttons_[itemIndex_];
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
        itemIndex_ = -1;
        return;
    }
    buttons_[index]->setChecked(true);  // its click sets the index and fires OnClick
}
