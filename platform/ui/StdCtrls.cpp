#include "platform/ui/StdCtrls.h"

#include <QMouseEvent>

std::string ToStd(const QString& s) { return s.toStdString(); }
QString ToQt(const std::string& s) { return QString::fromStdString(s); }

QString ToQtLines(const std::string& s)
{
    QString q = QString::fromStdString(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return q;
}

// --- TLabel ------------------------------------------------------------------

TLabel::TLabel(QWidget* parent) : QLabel(parent) {}

void TLabel::mousePressEvent(QMouseEvent* e)
{
    QLabel::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) pressed_ = true;
}

void TLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    if (e->button() == Qt::LeftButton) pressed_ = false;
    if (click) CallEvent(OnClick, this);
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    if (e->button() == Qt::LeftButton) CallEvent(OnDblClick, this);
}

// --- TEdit -------------------------------------------------------------------

TEdit::TEdit(QWidget* parent) : TWinControl<QLineEdit>(parent)
{
    QObject::connect(this, &QLineEdit::textChanged, this, [this] { CallEvent(OnChange, this); });
}

void TEdit::SetText(const std::string& s)
{
    const QString q = ToQt(s);
    if (q != text()) setText(q);
}

// --- TMemo -------------------------------------------------------------------

TMemo::TMemo(QWidget* parent) : TWinControl<QPlainTextEdit>(parent)
{
    QObject::connect(this, &QPlainTextEdit::textChanged, this, [this] { CallEvent(OnChange, this); });
}

TStringList TMemo::Lines() const
{
    TStringList lines;
    const QString text = toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& l : text.split(QLatin1Char('\n'))) lines.Add(ToStd(l));
    return lines;
}

void TMemo::SetLines(const TStrings& lines)
{
    QString text;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i) text += QLatin1Char('\n');
        QString l = ToQt(lines[i]);
        l.remove(QLatin1Char('\r'));
        l.replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += l;
    }
    setPlainText(text);
}

void TMemo::Clear() { clear(); }

// --- TCheckBox, TRadioButton ---------------------------------------------------

TCheckBox::TCheckBox(QWidget* parent) : TWinControl<QCheckBox>(parent)
{
    QObject::connect(this, &QAbstractButton::toggled, this, [this](bool) { CallEvent(OnClick, this); });
}

TRadioButton::TRadioButton(QWidget* parent) : TWinControl<QRadioButton>(parent)
{
    QObject::connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        if (on) CallEvent(OnClick, this);
    });
}

// --- TComboBox -----------------------------------------------------------------

TComboBox::TComboBox(QWidget* parent) : TWinControl<QComboBox>(parent)
{
    QObject::connect(this, &QComboBox::activated, this, [this](int) { CallEvent(OnChange, this); });
}

void TComboBox::SetItemIndex(int index)
{
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

TStringList TComboBox::Items() const
{
    TStringList items;
    for (int i = 0; i < count(); ++i) items.Add(ToStd(itemText(i)));
    return items;
}

void TComboBox::SetItems(const TStrings& items)
{
    clear();
    for (int i = 0; i < items.Count(); ++i) addItem(ToQt(items[i]));
    setCurrentIndex(-1);
}

void TComboBox::SetText(const std::string& s)
{
    if (isEditable()) {
        setEditText(ToQt(s));
        return;
    }
    SetItemIndex(findText(ToQt(s)));
}

// --- TListBox --------------------------------------------------------------------

// A mouse press moves the current row first and selects it afterwards, so the current row
// alone does not say what the user chose: OnClick waits for the selection and fires once it
// names another row than before.
TListBox::TListBox(QWidget* parent) : TWinControl<QListWidget>(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // An item wider than the box scrolls into view; it is never cut short.
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QObject::connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const int now = ItemIndex();
        if (now == reported_) return;
        reported_ = now;
        if (!fromCode_) CallEvent(OnClick, this);
    });
}

int TListBox::ItemIndex() const
{
    const int row = currentRow();
    if (row < 0 || row >= count() || !item(row)->isSelected()) return -1;
    return row;
}

void TListBox::SetItemIndex(int index)
{
    fromCode_ = true;
    if (index >= 0 && index < count()) {
        setCurrentRow(index);
    } else {
        setCurrentRow(-1);
        clearSelection();
    }
    reported_ = ItemIndex();
    fromCode_ = false;
}

TStringList TListBox::Items() const
{
    TStringList items;
    for (int i = 0; i < count(); ++i) items.Add(ToStd(item(i)->text()));
    return items;
}

void TListBox::SetItems(const TStrings& items)
{
    fromCode_ = true;
    clear();
    for (int i = 0; i < items.Count(); ++i) addItem(ToQt(items[i]));
    reported_ = ItemIndex();
    fromCode_ = false;
}
