// Push buttons with modal results, and the flat tool-bar speed button with its hint.
#pragma once

#include "platform/ui/StdCtrls.h"

#include <QPushButton>
#include <QToolButton>

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkYes, bkNo, bkClose };

// Clicking sets the owning form's modal result (when not mrNone), then fires OnClick.
// Enter presses the Default button only; Escape the Cancel button.
class TBitBtn : public QPushButton {
public:
    explicit TBitBtn(QWidget* parent = nullptr);
    std::string Caption() const { return ToStd(text()); }
    void SetCaption(const std::string& s) { setText(ToQt(s)); }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);  // Cancel: mrCancel and the Escape button; OK: mrOk, Default
    bool Cancel() const { return cancel_; }
    void SetCancel(bool on) { cancel_ = on; }
    bool Default() const { return isDefault(); }
    void SetDefault(bool on) { setDefault(on); }
    void Click();

    TNotifyEvent OnClick;

private:
    int modalResult_ = 0;
    bool cancel_ = false;
    TBitBtnKind kind_ = TBitBtnKind::bkCustom;
};
using TButton = TBitBtn;

class TSpeedButton : public QToolButton {
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    // The hint with CR LF line breaks; the tooltip shows them as lines.
    std::string Hint() const;
    void SetHint(const std::string& hint);
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool on) { setAutoRaise(on); }
    void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnMouseMove;  // the mouse moves over the button

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
};
