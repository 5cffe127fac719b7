#include "planner/ui/Sysinfo.h"

#include "platform/ui/Dialogs.h"
#include "planner/engine/TitleBlock.h"
#include "planner/ui/MainState.h"

#include <QDate>

TfrmSysInfo* frmSysInfo = nullptr;

namespace {

const QDate kDayZero(1899, 12, 30);

}  // namespace

TfrmSysInfo::TfrmSysInfo(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    // Typing stops at what the title block keeps, so nothing is cut unseen.
    CoName->setMaxLength(20);
    edAuthor->setMaxLength(15);
    edSiteName->setMaxLength(20);
    edPropNum->setMaxLength(20);
    BitBtn1->OnClick = [this](QObject* s) { BitBtn1Click(s); };
    BitBtn2->OnClick = [this](QObject* s) { BitBtn2Click(s); };
    OnClose = [this](QObject* s, TCloseAction& a) { FormClose(s, a); };
    setFixedSize(size());
    FormCreate();
}

void TfrmSysInfo::FormCreate() { DateBox->setDate(QDate::currentDate()); }

double TfrmSysInfo::Date() const { return static_cast<double>(kDayZero.daysTo(DateBox->date())); }

void TfrmSysInfo::SetDate(double date) { DateBox->setDate(kDayZero.addDays(static_cast<qint64>(date))); }

void TfrmSysInfo::FormClose(QObject*, TCloseAction&)
{
    // The title block keeps the first 20 (author 15) characters, cut as characters so that
    // a name in another script never ends in half a character.
    CompanyName = ToStd(CoName->text().left(20));
    AuthorName = ToStd(edAuthor->text().left(15));
    SiteName = ToStd(edSiteName->text().left(20));
    ProposalNumber = ToStd(edPropNum->text().left(20));
    ProposalDate = Date();
}

void TfrmSysInfo::BitBtn1Click(QObject*)
{
    if (Modal())
        SetModalResult(mrOk);
    else
        Close();
}

void TfrmSysInfo::BitBtn2Click(QObject*)
{
    if (MessageDlg("You are about to cancel a new system design. Are you sure?", TMsgDlgType::mtConfirmation,
                   mbYes | mbNo) == mrYes)
        SetModalResult(mrCancel);
    else
        SetModalResult(mrNone);
}
