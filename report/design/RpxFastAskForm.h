// "Rpx Reporter": the question asked when dropped labels pass the printable width
// (report/design, Qt Widgets; layout in forms/RpxFastAskForm.ui).
#pragma once

#include "RpxLabelDrop.h"

#include <QDialog>

#include <memory>

namespace Ui {
class RpxFastAskForm;
}
class QPushButton;
class QRadioButton;

class TRpxFastAskForm : public QDialog {
    Q_OBJECT
public:
    explicit TRpxFastAskForm(QWidget* parent = nullptr);
    ~TRpxFastAskForm() override;

    // Asks (through the report's modal answerer) and gives the answer: the chosen option
    // after Ok, faCancel after Cancel or the close box.
    TRpxFitAnswer Ask();
    // The answer the window was left with.
    TRpxFitAnswer Answer() const;
    bool Cancelled() const { return cancelled_; }

    QRadioButton* Option(TRpxFitAnswer a) const;
    QPushButton* OkBtn() const;
    QPushButton* CancelBtn() const;

private:
    void FormCreate();
    void OkBtnClick();
    void CancelBtnClick();

    std::unique_ptr<Ui::RpxFastAskForm> ui_;
    bool cancelled_ = true;
};
