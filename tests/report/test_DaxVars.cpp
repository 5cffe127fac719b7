// Levels and variables on a page: lazy evaluation, circular references, totals per level,
// data-bound variables over the in-memory dataset.
#include "report/DaxVars.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// A page with the three fixed-band levels the variables default to, and a group level.
class TestPage : public TDaxGrouppage {
public:
    TestPage()
    {
        for (auto* l : {&head, &pageHead, &group, &detail}) {
            l->SetParent(this);
        }
        head.IsHeader = true;
        pageHead.IsHeader = true;
        NumberLevels();
    }
    TDaxLevel* FixedBandLevel(TDaxFixedBand b) const override
    {
        switch (b) {
        case TDaxFixedBand::fbHead: return const_cast<TDaxLevel*>(&head);
        case TDaxFixedBand::fbPageHead: return const_cast<TDaxLevel*>(&pageHead);
        case TDaxFixedBand::fbDetail: return const_cast<TDaxLevel*>(&detail);
        default: return nullptr;
        }
    }
    void VariablesChanged() override
    {
        ++rebuilds;
        TDaxGrouppage::VariablesChanged();
    }
    // Levels are members here, not owned: they leave before the page does.
    ~TestPage() override
    {
        for (auto* l : {&head, &pageHead, &group, &detail}) l->SetParent(nullptr);
    }

    TDaxLevel head, pageHead, group, detail;
    int rebuilds = 0;
};

template <class V>
V* Place(TestPage& page, const std::string& name)
{
    auto* v = new V(&page);
    v->SetName(name);
    v->SetParent(&page);
    return v;
}

TEST(DaxVarsTest, LevelsOnlyLiveOnPages)
{
    TDaxComponent notAPage;
    TestPage page;
    TDaxLevel level;
    EXPECT_THROW(level.SetParent(&notAPage), EAbort);
    EXPECT_EQ(level.Parent(), nullptr);
    level.SetParent(&page);
    EXPECT_EQ(level.GetPage(), &page);
    EXPECT_EQ(page.Levels().size(), 5u);
    level.SetParent(nullptr);
    EXPECT_EQ(page.Levels().size(), 4u);
}

TEST(DaxVarsTest, VariablesTakeTheirDefaultLevelWhenLoaded)
{
    TestPage page;
    struct Case { TDaxVar* var; TDaxLevel* want; };
    auto* expr = Place<TDaxExprVar>(page, "e");
    auto* date = Place<TDaxDateTimeVar>(page, "d");
    auto* pg = Place<TDaxPageVar>(page, "p");
    auto* tot = Place<TDaxTotalvar>(page, "t");
    auto* db = Place<TDaxDBVar>(page, "b");
    auto* preset = Place<TDaxExprVar>(page, "kept");
    preset->SetUpdateLevel(&page.group);
    const Case cases[] = {{expr, &page.detail}, {date, &page.head}, {pg, &page.pageHead},
                          {tot, &page.detail}, {db, &page.detail}, {preset, &page.group}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.var->Name());
        c.var->BeginLoading();
        c.var->Loaded();
        EXPECT_EQ(c.var->UpdateLevel(), c.want);
    }
    EXPECT_EQ(page.Variables().size(), 6u);
    EXPECT_EQ(page.TotalVars().size(), 1u);
    // A level that goes away leaves no dangling reference.
    TDaxLevel* extra = new TDaxLevel(&page);
    extra->SetParent(&page);
    expr->SetUpdateLevel(extra);
    delete extra;
    EXPECT_EQ(expr->UpdateLevel(), nullptr);
}

TEST(DaxVarsTest, ChangesRebuildThePageBookkeeping)
{
    TestPage page;
    auto* v = Place<TDaxExprVar>(page, "e");
    const int before = page.rebuilds;
    v->SetDataType(dtypeString);
    v->SetDataType(dtypeString);   // unchanged: nothing
    v->SetUpdateLevel(&page.group);
    v->SetName("renamed");
    EXPECT_EQ(page.rebuilds - before, 3);
}

TEST(DaxVarsTest, ExpressionVariableIsLazyAndKeepsWhatTheApplicationSet)
{
    TestPage page;
    auto* v = Place<TDaxExprVar>(page, "Descr");
    v->SetDataType(dtypeString);
    v->SetUpdateLevel(&page.detail);
    v->CreateValues();
    v->SetAsString("abc");
    for (int i = 0; i < 3; ++i) {
        page.EnterLevel(page.detail);   // stale, then updated: no handler, the value stays
        EXPECT_EQ(v->AsString(), "abc");
    }

    int calls = 0;
    auto* w = Place<TDaxExprVar>(page, "Counter");
    w->SetDataType(dtypeInteger);
    w->SetUpdateLevel(&page.group);
    w->CreateValues();
    w->OnGetData = [&](TDaxVar& self) { self.SetAsInteger(++calls * 10); };
    w->State = vsStale;
    EXPECT_EQ(calls, 0);   // nothing computed before a read
    EXPECT_EQ(w->AsInteger(), 10);
    EXPECT_EQ(w->AsInteger(), 10);   // fresh: no second call
    EXPECT_EQ(calls, 1);
    page.EnterLevel(page.group);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(w->AsString(), "20");
    page.RestoreLevel(page.group);   // the value saved on entry comes back
    EXPECT_EQ(w->AsInteger(), 10);
}

TEST(DaxVarsTest, CircularReferencesAndFailingHandlers)
{
    TestPage page;
    auto* v = Place<TDaxExprVar>(page, "Loop");
    v->SetDataType(dtypeString);
    v->CreateValues();
    v->SetAsString("before");

    // Reading its own value while updating gives the value as it stands.
    std::string seen;
    v->OnGetData = [&](TDaxVar& self) { seen = self.AsString(); self.SetAsString("after"); };
    v->State = vsStale;
    EXPECT_EQ(v->AsString(), "after");
    EXPECT_EQ(seen, "");   // cleared before the handler

    // An explicit second update during the first is a circle.
    std::string message;
    v->OnGetData = [&](TDaxVar& self) {
        try {
            self.UpdateValue();
        } catch (const Exception& e) {
            message = e.what();
        }
    };
    v->State = vsStale;
    v->UpdateValue();
    EXPECT_EQ(message, "Circular variable reference for variable: Loop");
    EXPECT_EQ(v->State, vsFresh);

    // A handler that raises leaves the variable stale, not updating: the next read tries
    // again instead of reporting a circle.
    int calls = 0;
    v->OnGetData = [&](TDaxVar& self) {
        if (++calls == 1) throw EConvertError("bad data");
        self.SetAsString("recovered");
    };
    v->State = vsStale;
    EXPECT_THROW(v->AsString(), EConvertError);
    EXPECT_EQ(v->State, vsStale);
    EXPECT_EQ(v->AsString(), "recovered");

    // Without values: the message, and the state goes back to stale as well.
    auto* bare = Place<TDaxExprVar>(page, "Bare");
    bare->State = vsStale;
    try {
        bare->UpdateValue();
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Datatype is bad for variable: Bare");
    }
    EXPECT_EQ(bare->State, vsStale);
    EXPECT_THROW(bare->AsString(), Exception);
    // The page's operations before the values exist do nothing.
    bare->SetUpdateLevel(&page.detail);
    EXPECT_NO_THROW(page.EnterLevel(page.head));
    EXPECT_NO_THROW(bare->SaveValue());
    EXPECT_NO_THROW(bare->RestoreValue());
    EXPECT_NO_THROW(bare->ResetValue());
    EXPECT_NO_THROW(bare->ClearValue());
    EXPECT_TRUE(bare->IsNull());
}

TEST(DaxVarsTest, PageVariableCountsEntriesAndResetMarksNull)
{
    TestPage page;
    auto* p = Place<TDaxPageVar>(page, "PageNo");
    p->SetUpdateLevel(&page.pageHead);
    p->CreateValues();
    EXPECT_EQ(p->GetDataType(), dtypeInteger);
    int shown[3] = {};
    for (int& n : shown) {
        page.EnterLevel(page.pageHead);
        n = p->AsInteger();
    }
    EXPECT_EQ(shown[0], 1);
    EXPECT_EQ(shown[2], 3);

    p->State = vsStale;
    p->ResetValue();
    EXPECT_TRUE(p->IsNull());
    EXPECT_EQ(p->AsInteger(), 0);

    p->SetRunning(true);
    p->SetRunning(false);   // the end of a run leaves fresh, empty values
    EXPECT_EQ(p->AsInteger(), 0);
    EXPECT_FALSE(p->IsNull());
}

TEST(DaxVarsTest, DateTimeVariableHoldsTheMomentItsValuesWereCreated)
{
    TestPage page;
    auto* d = Place<TDaxDateTimeVar>(page, "svarDateTime");
    const double before = Now();
    d->CreateValues();
    const double after = Now();
    EXPECT_GE(d->AsDateTime(), before);
    EXPECT_LE(d->AsDateTime(), after);
    EXPECT_EQ(d->SavedValue()->AsDateTime(), d->AsDateTime());
    d->State = vsStale;
    d->UpdateValue();   // no update of its own
    EXPECT_EQ(d->SavedValue()->AsDateTime(), d->AsDateTime());
}

TEST(DaxVarsTest, OnADesignSurfaceNewValuesAreStale)
{
    TDaxGrouppage page;
    page.SetDesigning(true);
    auto* e = new TDaxExprVar(&page);
    EXPECT_FALSE(e->DataReady);
    e->SetDataType(dtypeInteger);
    e->CreateValues();
    EXPECT_EQ(e->State, vsStale);
    e->SetRunning(true);
    e->State = vsFresh;
    e->CreateValues();
    EXPECT_EQ(e->State, vsFresh);   // while running the state is left alone
    auto* u = new TDaxExprVar(&page);
    u->CreateValues();   // an unknown type makes no usable values
    EXPECT_FALSE(u->ValuesCreated);
    EXPECT_EQ(u->AsString(), "Unknown type, check to see if field exists.");
}

TEST(DaxVarsTest, VariableIdsByName)
{
    EXPECT_EQ(VarIdFromName("VIDEXPRVAR"), vidExprVar);
    EXPECT_EQ(VarIdFromName("vidPageVar"), vidPageVar);
    EXPECT_EQ(VarIdName(vidTotalVar), "vidTotalVar");
    try {
        VarIdFromName("vidNothing");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Cannot find vidNothing in TDaxVarId");
    }
    TDaxTotalvar t;
    TDaxDBVar d;
    EXPECT_EQ(t.ID(), vidTotalVar);
    EXPECT_EQ(d.ID(), vidDBVar);
    EXPECT_FALSE(d.DataReady);
}

// Totals over a float variable; records are entered as the generator does: enter the
// detail level, then after each group's footer mark the group level for reset.
class TotalsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        amount = Place<TDaxExprVar>(page, "Amount");
        amount->SetDataType(dtypeFloat);
        amount->SetUpdateLevel(&page.detail);
        total = Place<TDaxTotalvar>(page, "Total");
        total->SetVariable(amount);
        total->SetUpdateLevel(&page.detail);
        page.NumberLevels();
        page.CreateVariableValues();
    }
    void Record(double x, bool null = false)
    {
        // A null source reads as a cleared value, as a null database field does.
        amount->OnGetData = [x, null](TDaxVar& v) {
            if (!null) v.SetAsFloat(x);
            v.CurrentValue()->IsNull = null;
        };
        page.EnterLevel(page.detail);
    }
    double Read(TDaxLevel& level, TDaxTotalType t) { return total->GetTotal(level, t)->AsFloat(); }

    TestPage page;
    TDaxExprVar* amount = nullptr;
    TDaxTotalvar* total = nullptr;
};

TEST_F(TotalsTest, PerLevelSumsWithResetsAfterFooters)
{
    for (double x : {1.0, 2.0, 3.0}) Record(x);
    EXPECT_EQ(Read(page.group, ttSum), 6);
    EXPECT_EQ(Read(page.group, ttCount), 3);
    page.MarkTotalsReset(page.group);    // group A's footer printed
    EXPECT_EQ(Read(page.group, ttSum), 6);   // still finished until the next record
    Record(4);
    struct Case { TDaxLevel* level; TDaxTotalType type; double want; };
    const Case cases[] = {
        {&page.group, ttSum, 4}, {&page.group, ttCount, 1}, {&page.group, ttMax, 4},
        {&page.detail, ttSum, 10}, {&page.detail, ttCount, 4}, {&page.detail, ttAverage, 2.5},
        {&page.detail, ttMin, 1}, {&page.detail, ttValue, 4},
        {&page.head, ttCount, 0}, {&page.pageHead, ttSum, 0},   // header levels never accumulate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level->Index * 10 + c.type);
        EXPECT_DOUBLE_EQ(Read(*c.level, c.type), c.want);
    }
    // Applying a pending reset clears at once (before a page footer prints).
    page.MarkTotalsReset(page.group);
    total->ApplyLevelReset(page.group);
    EXPECT_EQ(Read(page.group, ttCount), 0);
}

TEST_F(TotalsTest, SavedTotalsAndRestore)
{
    Record(5);
    page.CommitTotals(page.group);
    Record(7);
    total->SaveValue();
    Record(9);
    EXPECT_EQ(Read(page.detail, ttSum), 21);
    total->RestoreValue();
    EXPECT_EQ(Read(page.detail, ttSum), 12);
}

TEST_F(TotalsTest, NullsCountUnlessIgnored)
{
    struct Case { bool ignore; double count, sum; };
    for (const Case c : {Case{false, 3, 3}, Case{true, 2, 3}}) {
        SCOPED_TRACE(c.ignore);
        page.CreateVariableValues();
        total->IgnoreNulls = c.ignore;
        Record(1);
        Record(99, true);   // a null source
        Record(2);
        EXPECT_EQ(Read(page.detail, ttCount), c.count);
        EXPECT_EQ(Read(page.detail, ttSum), c.sum);
        EXPECT_EQ(Read(page.detail, ttMin), c.ignore ? 1 : 0);
    }
}

TEST_F(TotalsTest, StringSourceAddsZeroAndTotalsOfTotalsAreRefused)
{
    amount->SetDataType(dtypeString);
    page.CreateVariableValues();
    amount->OnGetData = [](TDaxVar& v) { v.SetAsString("12"); };
    page.EnterLevel(page.detail);
    page.EnterLevel(page.detail);
    EXPECT_EQ(Read(page.detail, ttCount), 2);
    EXPECT_EQ(Read(page.detail, ttSum), 0);

    auto* other = Place<TDaxTotalvar>(page, "GrandTotal");
    try {
        other->SetVariable(total);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid access to totalvar: Total");
    }
    EXPECT_EQ(other->Variable(), nullptr);
    try {
        total->GetValue();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Invalid access to totalvar: Total");
    }
    // The totalled variable goes away: the reference is cleared, totals add 0.
    delete amount;
    amount = nullptr;
    EXPECT_EQ(total->Variable(), nullptr);
    EXPECT_FALSE(total->HasData());
    TDaxLevel stray;
    stray.Index = 42;
    EXPECT_EQ(total->GetTotal(stray, ttSum), nullptr);
}

TEST_F(TotalsTest, TotalThatReachesItselfIsACircle)
{
    // The source's handler asks the total for an update while the total is updating.
    amount->OnGetData = [this](TDaxVar& v) {
        v.SetAsFloat(1);
        total->UpdateValue();
    };
    total->State = vsStale;
    amount->State = vsStale;
    try {
        total->UpdateValue();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Circular variable reference for variable: Total");
    }
    EXPECT_EQ(total->State, vsStale);
    EXPECT_EQ(amount->State, vsStale);
}

class DBVarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = FormatSettings();   // number text is pinned
        FormatSettings() = TFormatSettings{};
        data.AddField("Name", ftString);
        data.AddField("Qty", ftInteger);
        data.AddField("Price", ftCurrency);
        data.AddField("Ok", ftBoolean);
        data.AddField("When", ftDateTime);
        data.AddField("Notes", ftMemo);
        data.AddField("Pic", ftGraphic);
        data.AddField("Raw", ftBytes);
        data.AppendRecord({std::string("bolt"), int64_t(3), 2.5, true, 45000.5, std::string("l1\nl2"), std::string("\x89PNG")});
        data.AppendRecord({std::string("nut"), std::monostate{}, 0.25, false});
        source.SetDataSet(&data);
    }
    TDaxDBVar* Var(const std::string& field)
    {
        auto* v = Place<TDaxDBVar>(page, "v" + field + std::to_string(++made));
        v->SetDataField(field);
        v->SetDataSource(&source);
        v->SetUpdateLevel(&page.detail);
        v->CreateValues();
        return v;
    }

    void TearDown() override { FormatSettings() = saved_; }

    TFormatSettings saved_;
    TestPage page;
    TDaxMemoryDataSet data;
    TDaxDataSource source;
    int made = 0;
};

TEST_F(DBVarTest, FieldTypesDecideTheValueClass)
{
    data.Open();
    struct Case { const char* field; TDaxDataTypes type; std::string text; };
    const Case cases[] = {
        {"Name", dtypeString, "bolt"}, {"Qty", dtypeInteger, "3"}, {"Price", dtypeFloat, "2.5"},
        {"Ok", dtypeBoolean, "True"}, {"Notes", dtypeMemo, "l1\r\nl2\r\n"},
        {"Raw", dtypeUnknown, "Unknown type, check to see if field exists."},
        {"Missing", dtypeUnknown, "Unknown type, check to see if field exists."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        auto* v = Var(c.field);
        EXPECT_TRUE(v->DataReady);
        EXPECT_EQ(v->GetDataType(), c.type);
        page.EnterLevel(page.detail);
        EXPECT_EQ(v->AsString(), c.text);
    }
    auto* when = Var("When");
    page.EnterLevel(page.detail);
    EXPECT_EQ(when->AsDateTime(), 45000.5);
    auto* pic = Var("Pic");
    page.EnterLevel(page.detail);
    EXPECT_EQ(pic->AsStream().Size(), 4);
    EXPECT_THROW(pic->AsString(), Exception);

    auto* missing = Var("Missing");
    EXPECT_EQ(missing->FieldIndex, -1);
    EXPECT_EQ(missing->GetFieldType(), ftUnknown);
    EXPECT_EQ(Var("Price")->GetFieldType(), ftCurrency);
}

TEST_F(DBVarTest, NullFieldsAndTheActiveState)
{
    auto* qty = Var("Qty");
    EXPECT_FALSE(qty->DataReady);   // closed dataset
    EXPECT_EQ(qty->GetDataType(), dtypeUnknown);
    EXPECT_EQ(qty->GetFieldType(), ftInteger);   // from the field definition
    data.Open();                                   // the link re-creates the values
    EXPECT_TRUE(qty->DataReady);
    EXPECT_EQ(qty->GetDataType(), dtypeInteger);
    page.EnterLevel(page.detail);
    EXPECT_EQ(qty->AsInteger(), 3);
    EXPECT_FALSE(qty->IsNull());
    data.Next();
    page.EnterLevel(page.detail);
    EXPECT_TRUE(qty->IsNull());
    EXPECT_EQ(qty->AsInteger(), 0);
    data.Close();
    EXPECT_FALSE(qty->DataReady);
    EXPECT_EQ(qty->FieldIndex, -1);
    // The data source goes away: the reference is cleared.
    auto* src = new TDaxDataSource;
    qty->SetDataSource(src);
    delete src;
    EXPECT_EQ(qty->DataSource(), nullptr);
    qty->CreateValues();
    EXPECT_EQ(qty->GetDataType(), dtypeUnknown);
}

TEST_F(DBVarTest, ACopyThatFailsClearsTheValue)
{
    TDaxMemoryDataSet bad;
    bad.AddField("N", ftInteger);
    bad.AppendRecord({std::string("not a number")});
    TDaxDataSource s;
    s.SetDataSet(&bad);
    bad.Open();
    auto* v = Place<TDaxDBVar>(page, "vN");
    v->SetDataField("N");
    v->SetDataSource(&s);
    v->SetUpdateLevel(&page.detail);
    v->CreateValues();
    EXPECT_NO_THROW(page.EnterLevel(page.detail));
    EXPECT_EQ(v->AsInteger(), 0);
    delete v;   // before its data source
}

} // namespace
