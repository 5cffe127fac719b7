#include "DesignFixture.h"

#include "report/design/RpxLabelDefaults.h"
#include "report/design/RpxLabelDrop.h"

using namespace mwtest;

namespace {

// Sizes with the default measuring device: Arial 10 at 96 pixels per inch is 13 pixels high
// and 6 pixels a character.
constexpr int kPpi = 96, kHeight = 13 + 6, kCharWidth = 6;

struct Expect {
    Expect(std::string cls, int w, int h = kHeight, TDaxHorizontalAlign a = laLeft,
           TFloatFormat ff = TFloatFormat::ffGeneral, int d = 0, std::string fmt = {}, bool wr = false,
           bool st = false, bool cur = false)
        : labelClass(std::move(cls)), width(w), height(h), align(a), floatFormat(ff), digits(d),
          displayFormat(std::move(fmt)), wrap(wr), stretch(st), currencyDecimals(cur)
    {
    }
    std::string labelClass;
    int width, height;
    TDaxHorizontalAlign align;
    TFloatFormat floatFormat;
    int digits;
    std::string displayFormat;
    bool wrap, stretch, currencyDecimals;
};

class LabelDefaultsTest : public DesignPage {
protected:
    // Drops one variable on the detail band and checks the label it made.
    void Check(TDaxVar& var, const Expect& e)
    {
        TRpxLabelDrop drop(page);
        TRpxDropRequest r;
        r.Variables = {&var};
        r.Target = page.Detail;
        drop.Drop(r, [] {
            ADD_FAILURE() << "one label asked the fit question";
            return faIgnore;
        });
        ASSERT_EQ(drop.VarLabels.size() + drop.CheckLabels.size(), 1u);
        TDaxLabel& l = drop.VarLabels.empty() ? *drop.CheckLabels[0] : *drop.VarLabels[0];
        EXPECT_EQ(l.ClassName(), e.labelClass);
        EXPECT_EQ(l.Width, e.width);
        EXPECT_EQ(l.Height, e.height);
        EXPECT_EQ(l.AlignHorizontal, e.align);
        EXPECT_EQ(l.WrapText, e.wrap);
        EXPECT_EQ(l.Stretch, e.stretch);
        TDaxRootFormat* f = nullptr;
        if (auto* tv = dynamic_cast<TDaxTVLabel*>(&l)) f = &tv->DataFormat;
        if (auto* tl = dynamic_cast<TDaxTotalvarLabel*>(&l)) f = &tl->DataFormat;
        if (f) {
            EXPECT_EQ(f->FloatFormat(), e.floatFormat);
            EXPECT_EQ(f->Digits(), e.digits);
            EXPECT_EQ(f->DisplayFormat(), e.displayFormat);
            EXPECT_EQ(f->UseCurrencyDecimals(), e.currencyDecimals);
        }
        delete &l;
    }
};

}  // namespace

// A field known only by its definition: formats and widths from its type.
TEST_F(LabelDefaultsTest, ByFieldDefinitionType)
{
    struct Case {
        TFieldType type;
        Expect e;
    };
    const Case cases[] = {
        {ftString, {"TDaxvarlabel", 20 * kCharWidth}},
        {ftSmallint, {"TDaxvarlabel", 6 * kCharWidth, kHeight, laRight}},
        {ftInteger, {"TDaxvarlabel", 11 * kCharWidth, kHeight, laRight}},
        {ftFloat, {"TDaxvarlabel", 10 * kCharWidth, kHeight, laRight, TFloatFormat::ffNumber, 2}},
        {ftBCD, {"TDaxvarlabel", 10 * kCharWidth, kHeight, laRight, TFloatFormat::ffNumber, 2}},
        {ftCurrency, {"TDaxvarlabel", 10 * kCharWidth, kHeight, laRight, TFloatFormat::ffCurrency, 0, "", false, false, true}},
        {ftDate, {"TDaxvarlabel", 10 * kCharWidth, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "dddd"}},
        {ftTime, {"TDaxvarlabel", 10 * kCharWidth, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "tttt"}},
        {ftDateTime, {"TDaxvarlabel", 18 * kCharWidth, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "ddddtttt"}},
        // A wrapping variable label is 2 inches wide.
        {ftMemo, {"TDaxvarlabel", 2 * kPpi, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "", true, true}},
        {ftBoolean, {"TDaxCheckLabel", 12, 12}},
        {ftGraphic, {"TDaxImageLabel", kPpi, kPpi}},
        {ftBlob, {"TDaxImageLabel", kPpi, kPpi}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "field type " << int(c.type));
        const std::string name = "F" + std::to_string(++n);
        dataSet.AddDefinition(name, c.type);
        Check(DbVar(name), c.e);
    }
}

// A field object of the dataset: its own display format, width and alignment are taken over.
TEST_F(LabelDefaultsTest, FieldObjectSettingsAreTakenOver)
{
    TShownField& loss = dataSet.AddField("Loss", ftFloat);
    loss.Format = "0.000";
    loss.Width = 7;
    loss.Align = TDaxField::taCenter;
    Check(DbVar("Loss"), {"TDaxvarlabel", 7 * kCharWidth, kHeight, laCenter, TFloatFormat::ffNumber, 2, "0.000"});

    TShownField& part = dataSet.AddField("Part", ftString);
    part.Width = 12;
    part.Align = TDaxField::taRightJustify;
    Check(DbVar("Part"), {"TDaxvarlabel", 12 * kCharWidth, kHeight, laRight});
}

// Without a dataset field: from the value type of the variable.
TEST_F(LabelDefaultsTest, ByValueTypeWithoutField)
{
    TDaxExprVar& loss = Expr("Loss", dtypeFloat);
    struct Case {
        TDaxVar* var;
        Expect e;
    };
    // A short text is narrower than the 1-inch default.
    const Case cases[] = {
        {&Expr("Desc", dtypeString), {"TDaxvarlabel", kPpi}},
        {&loss, {"TDaxvarlabel", kPpi, kHeight, laRight, TFloatFormat::ffNumber, 2}},
        {&Expr("Count", dtypeInteger), {"TDaxvarlabel", kPpi, kHeight, laRight, TFloatFormat::ffNumber, 0}},
        {&Expr("When", dtypeDateTime), {"TDaxvarlabel", kPpi, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "ddddd"}},
        {&Expr("Note", dtypeMemo), {"TDaxvarlabel", 2 * kPpi, kHeight, laLeft, TFloatFormat::ffGeneral, 0, "", true, true}},
        {&Expr("Ok", dtypeBoolean), {"TDaxCheckLabel", 12, 12}},
        {&Expr("Pic", dtypeGraphic), {"TDaxImageLabel", kPpi, kPpi}},
        {&DaxBuild::Total(page, "TotalLoss", loss), {"TDaxTotalvarLabel", kPpi, kHeight, laRight, TFloatFormat::ffNumber, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.var->Name());
        Check(*c.var, c.e);
    }
}

// A variable label of a text value is at least as wide as its formatted text.
TEST_F(LabelDefaultsTest, WideTextWidensTheLabel)
{
    TDaxExprVar& v = Expr("Description", dtypeString);
    v.SetAsString(std::string(30, 'W'));
    Check(v, {"TDaxvarlabel", 30 * kCharWidth});
}

TEST_F(LabelDefaultsTest, MyFieldFindsOrMakesTheField)
{
    TShownField& found = dataSet.AddField("Found", ftInteger);
    dataSet.AddDefinition("Defined", ftDate);

    TMyField a(&dataSet, "Found");
    EXPECT_EQ(a.Field(), &found);
    EXPECT_TRUE(a.FieldExists());
    EXPECT_EQ(a.FieldDef(), ftInteger);

    TMyField b(&dataSet, "Defined");
    ASSERT_NE(b.Field(), nullptr);
    EXPECT_FALSE(b.FieldExists());
    EXPECT_EQ(b.Field()->FieldName(), "Defined");
    EXPECT_EQ(b.Field()->DataType(), ftDate);

    TMyField c(&dataSet, "Missing");
    EXPECT_EQ(c.Field(), nullptr);
    TMyField d(nullptr, "Found");
    EXPECT_EQ(d.Field(), nullptr);
    // A data-field variable without a source has no field.
    auto* lost = new TDaxDBVar(&page);
    lost->SetParent(&page);
    lost->SetDataField("Found");
    EXPECT_EQ(TMyField::Of(*lost), nullptr);
}
