// TNuvNumericEdit: a numeric edit with a fixed number of decimals, typed into like a
// calculator. The text never leaves the form of its mask ("0", "0.00", ...): keys, paste,
// cut, drops, undo and input-method text all go through the typing rules of
// NuvNumericEditModel.h.
//
// Events: OnChange after every change of the text (from code only when the text differs);
// OnValidChange after a change whose value lies in [MinValue, MaxValue] (also when the
// limits are equal); OnInvalidEntry on leaving the control with a value outside the
// limits, unless MinValue = MaxValue. OnEnter/OnExit ignore window activation and menus.
#pragma once

#include "planner/controls/NuvNumericEditModel.h"

#include "platform/ui/Controls.h"

#include <QLineEdit>
#include <string>

class TNuvNumericEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(int Decimals READ Decimals WRITE SetDecimals)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(bool AutoSelect READ AutoSelect WRITE SetAutoSelect)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(QString Version READ VersionText WRITE SetVersionText)

public:
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)

    explicit TNuvNumericEdit(QWidget* parent = nullptr);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    int Decimals() const { return decimals_; }
    // Clamped to 0..9; the text is re-formatted without firing OnChange.
    void SetDecimals(int d);
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    // The text as a number (EConvertError if it is none, which the rules never allow); 0 while
    // the field shows no value.
    double Value() const;
    // A read-only field with no value to show (the level of a power of nothing): "---" until
    // the next value is written.
    void ShowNoValue();
    bool ShowsNoValue() const;
    // The text := the value with the mask, when that differs from the text. Raises
    // EConvertError for a value the mask cannot show (infinite, NaN, beyond fixed notation).
    void SetValue(double v);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    // 0: no limit of our own.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool v) { setReadOnly(v); }
    std::string Version() const { return "1.00.08"; }
    void SetVersion(const std::string&) {} // informational only
    std::string Text() const;
    // The text comes from Value or from typing; free text could leave the mask.
    void setText(const QString&) = delete;

    // Edit commands, through the typing rules.
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void ClearSelection();
    // Swaps the text with the one before the last edit, when that still fits the mask.
    void Undo();
    void SelectAll() { selectAll(); }

    TNotifyEvent OnChange;
    TNotifyEvent OnValidChange;
    TNotifyEvent OnInvalidEntry;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    // After every change of the text.
    virtual void Change();
    virtual void DoEnter();
    virtual void DoExit();

    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    NuvNumericEdit::TEditState State() const;
    NuvNumericEdit::TEditRules Rules() const;
    // Shows the result of a user edit and runs Change when the rules say so.
    void Apply(const NuvNumericEdit::TEditResult& r);
    // Text written by the program: Change runs only when the text differs.
    void SetTextFromCode(const std::string& text);
    void Reformat();
    QString VersionText() const { return QString::fromStdString(Version()); }
    void SetVersionText(const QString&) {}

    TAlignment alignment_ = taRightJustify;
    int decimals_ = 2;
    double minValue_ = 0;
    double maxValue_ = 0;
    bool autoSelect_ = true;
    int maxLength_ = 0;
    bool onChangeDetached_ = false;
    bool applying_ = false;
    bool canUndo_ = false;
    std::string undoText_;
};
