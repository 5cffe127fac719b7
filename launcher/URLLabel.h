// A label that opens its web address when clicked, with colours for away, over and pressed.
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/ui/StdCtrls.h"

#include <string>

inline constexpr const char* kBelvorURL = "http://www.belvor.com/";

// Opens a web address with the shell; when nothing can open it (no web browser, say), tells
// the user so, with the address to open by hand.
void OpenAddress(const std::string& url);

class TURLLabel : public TLabel {
public:
    explicit TURLLabel(QWidget* parent = nullptr);

    TColor ColorNormal() const { return colorNormal_; }
    void SetColorNormal(TColor c) { colorNormal_ = c; }
    TColor ColorMoveOver() const { return colorMoveOver_; }
    void SetColorMoveOver(TColor c) { colorMoveOver_ = c; }
    TColor ColorClick() const { return colorClick_; }
    void SetColorClick(TColor c) { colorClick_ = c; }
    // What a click opens; the caption when empty.
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& url) { url_ = url; }

    // The colour the text is drawn in now.
    TColor FontColor() const { return fontColor_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void SetFontColor(TColor c);

    TColor colorNormal_ = clBlue;
    TColor colorMoveOver_ = clBlue;
    TColor colorClick_ = clRed;
    TColor fontColor_ = clBlue;
    std::string url_ = kBelvorURL;
    bool pressed_ = false;
};
