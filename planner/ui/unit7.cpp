#include "planner/ui/unit7.h"

#include "planner/engine/PageCalc.h"
#include "planner/engine/ProjLib.h"
#include "platform/runtime/NumText.h"
#include "platform/runtime/StrTable.h"
#include "platform/ui/Dialogs.h"

#include <algorithm>

int32_t BeamTiltHaat = 0;
float BeamTiltGain = 0.0f;
float BeamTiltResult = 0.0f;

TfrmBTCalc::TfrmBTCalc(QWidget* owner) : TForm(owner)
{
    setupUi(this);
    TStringList types;
    for (const char* t : {"Zek-Series", "UHF Zorvan Series", "VHF Zorvan Series"}) types.Add(t);
    RadioGroup1->SetItems(types);
    RadioGroup1->SetItemIndex(1);
    NumEdit1->SetDecimals(0);
    NumEdit1->SetMinValue(100);
    NumEdit1->SetMaxValue(3000);
    NumEdit1->SetValue(1000);
    BitBtn1->SetKind(TBitBtnKind::bkClose);
    BitBtn1->SetCaption("Close");
    auto on = [this](void (TfrmBTCalc::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    RadioGroup1->OnClick = on(&TfrmBTCalc::RadioGroup1Click);
    ListBox1->OnClick = on(&TfrmBTCalc::ListBox1Click);
    NumEdit1->OnChange = on(&TfrmBTCalc::NumEdit1Change);
    NumEdit1->OnInvalidEntry = on(&TfrmBTCalc::NumEdit1InvalidEntry);
    BitBtn1->OnClick = [this](QObject*) {
        if (ModalResult() == mrNone) Close();
    };
    setFixedSize(size());
    FormCreate();
}

void TfrmBTCalc::FormCreate()
{
    BeamTiltGain = Ant().HElGain;
    const uint8_t family = Sys().Family;
    if (family <= 2) RadioGroup1->SetItemIndex(family);
    Refresh();
    // A row index kept from another family's catalog stays within this one.
    const int rows = ListBox1->count();
    if (rows > 0) ListBox1->SetItemIndex(std::clamp(Ant().ElevationIndex, 0, rows - 1));
    if (BeamTiltHaat == 0) BeamTiltHaat = 1000;
    NumEdit1->SetValue(BeamTiltHaat);
    ListBox1Click(ListBox1);
}

void TfrmBTCalc::Refresh()
{
    static constexpr int32_t catalogs[] = {9000, 10000, 11000};
    catalog_ = catalogs[std::clamp(RadioGroup1->ItemIndex(), 0, 2)];
    last_ = LastRecordId(catalog_);
    TStringList rows;
    for (int32_t id = catalog_ + 1; id <= last_; ++id) rows.Add(GetDelimitedField(0, LoadStr(id), '|'));
    ListBox1->SetItems(rows);
}

void TfrmBTCalc::RadioGroup1Click(QObject*)
{
    Sys().Family = static_cast<uint8_t>(std::clamp(RadioGroup1->ItemIndex(), 0, 2));
    Refresh();
    Optimize();
}

void TfrmBTCalc::ListBox1Click(QObject*)
{
    const int index = ListBox1->ItemIndex();
    if (index < 0 || catalog_ + 1 + index > last_) return;
    Ant().ElevationIndex = index;
    BeamTiltGain = static_cast<float>(StrToFloat(GetDelimitedField(2, LoadStr(catalog_ + 1 + index), '|')));
    Optimize();
}

void TfrmBTCalc::NumEdit1Change(QObject*)
{
    BeamTiltHaat = static_cast<int32_t>(Trunc(NumEdit1->Value()));
    Optimize();
}

void TfrmBTCalc::NumEdit1InvalidEntry(QObject*)
{
    ShowMessage("ERROR!\r\n\r\nThe HAAT must be greater than 100 and less than 3,000 feet.");
    NumEdit1->setFocus();
}

void TfrmBTCalc::Optimize()
{
    // With no row chosen (after a change of antenna type) the gain of the row last used
    // stands; only a gain of nothing gives no result.
    if (!(BeamTiltGain > 0)) return;
    BeamTiltResult = OptimalBeamTilt(NumEdit1->Value(), BeamTiltGain);
    Edit1->SetText(FloatToStrF(BeamTiltResult, TFloatFormat::ffGeneral, 3, 4));
}

std::unique_ptr<TForm> CreateBeamTiltCalculator() { return CreateFormOnce<TfrmBTCalc>(); }
