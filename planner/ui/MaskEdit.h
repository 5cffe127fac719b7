// A fixed-width edit of letters, digits and blanks: its text always has its full width,
// and positions left empty read as blanks.
#pragma once

#include "platform/ui/StdCtrls.h"

#include <QLineEdit>
#include <string>

class TMaskEdit : public TWinControl<QLineEdit> {
public:
    explicit TMaskEdit(QWidget* parent = nullptr);
    int MaxLength() const { return maxLength(); }
    void SetMaxLength(int n) { setMaxLength(n); }
    std::string Text() const;
    void SetText(const std::string& s);
};
