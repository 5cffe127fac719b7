// The About box, with its web link and the credits that a typed code shows.
#pragma once

#include "platform/ui/Forms.h"

#include <memory>
#include <string>

namespace Ui {
class TfrmAbout;
}

class TfrmAbout : public TForm {
public:
    static constexpr const char* kCode = "QUOX";

    explicit TfrmAbout(QWidget* owner = nullptr);
    ~TfrmAbout() override;

    void FormCreate();
    void BitBtn1Click();
    // A key released; only releases with Alt held count towards the code.
    void FormKeyUp(int key, Qt::KeyboardModifiers shift);

    const std::string& Typed() const { return typed_; }

    std::unique_ptr<Ui::TfrmAbout> ui;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when Alt + key goes on with a code already begun.
    bool ContinuesCode(int key) const;
    void WatchKeys(QObject* o);

    std::string typed_;
};

extern TfrmAbout* frmAbout;
