// Panels and radio groups.
#pragma once

#include "platform/ui/StdCtrls.h"

#include <QGroupBox>
#include <QLabel>
#include <vector>

// A raised panel whose caption shows in its middle; it holds other controls. Color takes the
// class library's $BBGGRR value.
class TPanel : public QLabel {
public:
    explicit TPanel(QWidget* parent = nullptr);
    std::string Caption() const { return ToStd(text()); }
    void SetCaption(const std::string& s) { setText(ToQt(s)); }
    void SetColor(uint32_t bgr);
    void BringToFront() { raise(); }
    void SendToBack() { lower(); }
};

// Radio buttons in a box. Setting ItemIndex from code checks that item and fires OnClick when
// the index changes; a value beyond the items is taken as the last one, below 0 as none.
class TRadioGroup : public QGroupBox {
public:
    explicit TRadioGroup(QWidget* parent = nullptr);
    std::string Caption() const { return ToStd(title()); }
    void SetCaption(const std::string& s) { setTitle(ToQt(s)); }
    TStringList Items() const;
    void SetItems(const TStrings& items);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);

    TNotifyEvent OnClick;

private:
    void Rebuild();
    void ButtonClicked(int index);

    std::vector<TRadioButton*> buttons_;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    int columns_ = 1;
};
