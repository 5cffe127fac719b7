// The splash window shown while the launcher starts.
#pragma once

#include "platform/ui/Forms.h"

#include <memory>

namespace Ui {
class TfSplash;
}

class TfSplash : public TForm {
public:
    explicit TfSplash(QWidget* owner = nullptr);
    ~TfSplash() override;

    // Shows the splash and returns once the window system shows it and its picture is
    // painted (or after five seconds, when the window system never says it is shown), so
    // that a wait that follows has the splash on the screen.
    void ShowAndPaint();

    std::unique_ptr<Ui::TfSplash> ui;
};
