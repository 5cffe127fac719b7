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

    std::unique_ptr<Ui::TfSplash> ui;
};
