#include "planner/ui/MaskEdit.h"

#include "platform/runtime/SysUtils.h"

#include <QRegularExpressionValidator>

TMaskEdit::TMaskEdit(QWidget* parent) : TWinControl<QLineEdit>(parent)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9 ]*")), this));
    SetMaxLength(10);
}

std::string TMaskEdit::Text() const
{
    std::string s = ToStd(text());
    s.resize(static_cast<std::size_t>(maxLength()), ' ');
    return s;
}

void TMaskEdit::SetText(const std::string& s)
{
    // Trailing blanks are empty positions; showing them would leave no room to type.
    setText(ToQt(TrimRight(s)));
}
