// One operation's progress reports on a picture: the starting report when the guard is made, the
// ending report once, with 100 % after Done or 0 % when the operation leaves by an exception.
//
// A progress handler may raise (EAbort stops the work). Done sends the ending report in the
// operation's own flow, so what the handler raises there leaves the operation like any other
// error. The guard's destructor sends it only while an exception is already leaving: what the
// handler raises then is dropped, since a second exception during unwinding would end the program.
#pragma once

#include "gif/GIFImg.h"

namespace GIFImg {

class TGIFProgress {
public:
    // redrawWhenPaletteModified: the ending report asks for a redraw only when the picture's
    // palette was modified (rendering and conversion); otherwise it always does.
    TGIFProgress(TGIFImage* image, TGIFObject* sender, const char* message, bool redrawWhenPaletteModified = false)
        : image_(image), sender_(sender), message_(message), paletteRedraw_(redrawWhenPaletteModified)
    {
        if (image_) image_->Progress(sender_, psStarting, 0, false, message_);
    }
    TGIFProgress(const TGIFProgress&) = delete;
    TGIFProgress& operator=(const TGIFProgress&) = delete;

    void Done() { End(100); }

    ~TGIFProgress()
    {
        if (ended_) return;
        try {
            End(0);
        } catch (...) {
            // The operation's own exception is on its way; the handler's is dropped.
        }
    }

private:
    void End(int percent)
    {
        if (ended_) return;
        ended_ = true;
        if (image_)
            image_->Progress(sender_, psEnding, percent, paletteRedraw_ ? image_->PaletteModified() : true, message_);
    }

    TGIFImage* image_;
    TGIFObject* sender_;
    const char* message_;
    bool paletteRedraw_;
    bool ended_ = false;
};

} // namespace GIFImg
