#include "launcher/URLLabel.h"

#include "platform/services/Shell.h"
#include "platform/ui/Dialogs.h"

#include <QMouseEvent>

void OpenAddress(const std::string& url)
{
    if (ShellOpenURL(url)) return;
    MessageDlg("The address " + url + " could not be opened: no web browser was found to open it.\n"
               "Open it in your web browser yourself.",
               TMsgDlgType::mtInformation, mbOK);
}

TURLLabel::TURLLabel(QWidget* parent) : TLabel(parent)
{
    SetFontColor(clBlue);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    SetCaption("Click me!");
}

void TURLLabel::SetFontColor(TColor c)
{
    fontColor_ = c;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(c));
    setPalette(p);
}

void TURLLabel::mousePressEvent(QMouseEvent*)
{
    pressed_ = true;
    SetFontColor(colorClick_);
}

void TURLLabel::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint at = e->position().toPoint();
    if (at.x() < 0 || at.y() < 0 || at.x() > width() || at.y() > height()) {
        SetFontColor(colorNormal_);
    } else {
        if (pressed_) OpenAddress(url_.empty() ? Caption() : url_);
        SetFontColor(colorMoveOver_);
    }
    pressed_ = false;
}

void TURLLabel::enterEvent(QEnterEvent*) { SetFontColor(pressed_ ? colorClick_ : colorMoveOver_); }

void TURLLabel::leaveEvent(QEvent*) { SetFontColor(colorNormal_); }
