// Standard controls with the class library's event semantics:
// - an event fires through CallEvent, so an exception in a handler reaches the error box;
// - TEdit: setting Text from code fires OnChange only when the text differs;
// - TCheckBox fires OnClick on every change of Checked (user or code), TRadioButton when it
//   becomes checked; setting the state that is already there fires nothing;
// - TComboBox: setting ItemIndex from code fires nothing; OnChange is the user's choice;
// - TListBox: an ItemIndex out of range means no selection (-1); OnClick fires once per
//   change of the selection by the user (mouse or keys), never for SetItemIndex;
// - TLabel: OnClick on a left click (a disabled label gets none).
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/ui/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <string>

std::string ToStd(const QString& s);
QString ToQt(const std::string& s);
// Hint and caption texts carry CR LF line breaks; Qt wants LF.
QString ToQtLines(const std::string& s);

class TLabel : public QLabel {
public:
    explicit TLabel(QWidget* parent = nullptr);
    std::string Caption() const { return ToStd(text()); }
    void SetCaption(const std::string& s) { setText(ToQtLines(s)); }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    bool pressed_ = false;
};

class TEdit : public TWinControl<QLineEdit> {
public:
    explicit TEdit(QWidget* parent = nullptr);
    std::string Text() const { return ToStd(text()); }
    void SetText(const std::string& s);

    TNotifyEvent OnChange;
};

// Lines are shown one per line; a line holding only a carriage return shows empty.
class TMemo : public TWinControl<QPlainTextEdit> {
public:
    explicit TMemo(QWidget* parent = nullptr);
    TStringList Lines() const;
    void SetLines(const TStrings& lines);
    void Clear();
    std::string Text() const { return ToStd(toPlainText()); }

    TNotifyEvent OnChange;
};

class TCheckBox : public TWinControl<QCheckBox> {
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on) { setChecked(on); }

    TNotifyEvent OnClick;
};

class TRadioButton : public TWinControl<QRadioButton> {
public:
    explicit TRadioButton(QWidget* parent = nullptr);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool on) { setChecked(on); }

    TNotifyEvent OnClick;
};

class TComboBox : public TWinControl<QComboBox> {
public:
    explicit TComboBox(QWidget* parent = nullptr);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);  // fires nothing; out of range clears the choice
    TStringList Items() const;
    void SetItems(const TStrings& items);  // keeps no choice
    std::string Text() const { return ToStd(currentText()); }
    void SetText(const std::string& s);

    TNotifyEvent OnChange;

private:
    bool fromCode_ = false;
};

class TListBox : public TWinControl<QListWidget> {
public:
    explicit TListBox(QWidget* parent = nullptr);
    int ItemIndex() const;
    void SetItemIndex(int index);  // fires nothing; out of range means no selection
    TStringList Items() const;
    void SetItems(const TStrings& items);

    TNotifyEvent OnClick;  // once per change of the selection by mouse or keys

private:
    bool fromCode_ = false;
    int reported_ = -1;  // the selection OnClick last saw
};
