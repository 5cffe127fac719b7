// TFSpinEdit: an edit with a spin button holding a single-precision value between limits
// (equal limits: none). The buttons and the Up/Down keys step the value by Increment;
// leaving the control clamps a typed value. The text is free to hold any of the typing
// characters ("+", "-", digits, "."); a text that is no number reads as MinValue.
// With EditorEnabled off the value changes only by stepping.
//
// Events: OnChange after every change of the text (from code only when it differs);
// OnEnter/OnExit ignore window activation and menus.
#pragma once

#include "planner/controls/FSpinModel.h"

#include "platform/ui/Controls.h"

#include <QLineEdit>
#include <string>

class QToolButton;

class TFSpinEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(float Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(float MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(float MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(float Value READ Value WRITE SetValue)
    Q_PROPERTY(int Precision READ Precision WRITE SetPrecision)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)

public:

    explicit TFSpinEdit(QWidget* parent = nullptr);
    ~TFSpinEdit() override;

    float Increment() const { return rules_.Increment; }
    void SetIncrement(float v) { rules_.Increment = v; }
    float MinValue() const { return rules_.MinValue; }
    void SetMinValue(float v) { rules_.MinValue = v; }
    float MaxValue() const { return rules_.MaxValue; }
    void SetMaxValue(float v) { rules_.MaxValue = v; }
    int Precision() const { return rules_.Precision; }
    void SetPrecision(int v) { rules_.Precision = v; }
    bool EditorEnabled() const { return rules_.EditorEnabled; }
    void SetEditorEnabled(bool v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }

    // The text as a number; MinValue when it is none. Never raises.
    float Value() const;
    // The text := CheckValue(v) with Precision decimals; a value that cannot be written
    // leaves the text as it is. Never raises.
    void SetValue(float v);
    float CheckValue(float x) const { return rules_.CheckValue(x); }
    std::string Text() const;
    // Fires OnChange only when the text differs.
    void SetText(const std::string& text);

    virtual bool IsValidChar(char Key) const { return rules_.IsValidChar(Key); }
    // Beep when ReadOnly, else Value := Value +/- Increment.
    virtual void UpClick();
    virtual void DownClick();

    void CutToClipboard();
    void PasteFromClipboard();

    // The spin button, a child of the edit (its two halves are its children).
    QWidget* Button() const { return button_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    virtual void Change();
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    bool Editable() const { return rules_.EditorEnabled && !readOnly_; }
    void UpdateEditable();
    void UpdateMinimumHeight();
    void PlaceButton();

    FSpin::TSpinRules rules_;
    bool readOnly_ = false;
    bool autoSelect_ = true;
    QWidget* button_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
};
