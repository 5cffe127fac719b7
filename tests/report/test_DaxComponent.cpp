// The component model: ownership, names, parents, free notification, loading, events.
#include "report/DaxComponent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Tracked : TDaxComponent {
    explicit Tracked(TDaxComponent* owner, std::vector<std::string>* log = nullptr) : TDaxComponent(owner), log_(log) {}
    ~Tracked() override
    {
        if (log_) log_->push_back("freed " + Name());
    }
    void Notification(TDaxComponent* c, TOperation op) override
    {
        if (op == TOperation::opRemove && c == watched) watched = nullptr;
    }
    void Loaded() override
    {
        TDaxComponent::Loaded();
        ++loads;
    }
    TDaxComponent* watched = nullptr;
    int loads = 0;
    std::vector<std::string>* log_;
};

// Only Tracked components may be parents of a Picky one.
struct Picky : TDaxComponent {
    using TDaxComponent::TDaxComponent;
    void ValidateParent(TDaxComponent* p) override
    {
        TDaxComponent::ValidateParent(p);
        if (!dynamic_cast<Tracked*>(p)) throw EInvalidOperation("Picky needs a Tracked parent");
    }
};

TEST(DaxComponentTest, OwnerFreesWhatItOwnsAndNamesAreUniqueWithinIt)
{
    std::vector<std::string> log;
    {
        TDaxComponent owner;
        auto* a = new Tracked(&owner, &log);
        auto* b = new Tracked(&owner, &log);
        a->SetName("A");
        b->SetName("B");
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(owner.FindComponent("a"), a);
        EXPECT_THROW(b->SetName("a"), EComponentError);
        EXPECT_THROW(b->SetName("1st"), EComponentError);
        EXPECT_EQ(b->Name(), "B");
        delete a;   // an owned component freed early leaves its owner
        EXPECT_EQ(owner.ComponentCount(), 1);
        EXPECT_THROW(owner.Components(1), EListError);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"freed A", "freed B"}));
}

TEST(DaxComponentTest, ParentChecksAndTheTree)
{
    Tracked root(nullptr);
    TDaxComponent other;
    Picky child;
    EXPECT_THROW(child.SetParent(&other), EInvalidOperation);
    EXPECT_EQ(child.Parent(), nullptr);
    child.SetParent(&root);
    EXPECT_EQ(root.ControlCount(), 1);
    Tracked inner(nullptr);
    inner.SetParent(&root);
    EXPECT_THROW(root.SetParent(&inner), EInvalidOperation);   // no cycles
    EXPECT_THROW(root.SetParent(&root), EInvalidOperation);
    child.SetParent(&inner);
    EXPECT_EQ(root.ControlCount(), 1);
    EXPECT_EQ(inner.Controls(0), &child);
    inner.SetParent(nullptr);
    EXPECT_EQ(root.ControlCount(), 0);
}

TEST(DaxComponentTest, FreeNotificationClearsReferences)
{
    Tracked holder(nullptr);
    auto* target = new TDaxComponent;
    holder.watched = target;
    holder.FreeNotification(target);
    delete target;
    EXPECT_EQ(holder.watched, nullptr);

    // The holder going first leaves no notifier behind in the target.
    auto* h2 = new Tracked(nullptr);
    TDaxComponent t2;
    h2->FreeNotification(&t2);
    delete h2;
    SUCCEED();
}

TEST(DaxComponentTest, LoadingAndDesigningFlags)
{
    TDaxComponent form;
    form.SetDesigning(true);
    Tracked t(&form);
    EXPECT_TRUE(t.Designing());   // taken from the owner
    t.BeginLoading();
    EXPECT_TRUE(t.Loading());
    t.Loaded();
    EXPECT_FALSE(t.Loading());
    EXPECT_EQ(t.loads, 1);
    t.SetParent(nullptr);
    form.RemoveComponent(&t);
}

TEST(DaxComponentTest, EventExceptionsGoToTheApplicationHandler)
{
    struct Restore {
        TDaxExceptionHandler saved = ApplicationExceptionHandler();
        ~Restore() { ApplicationExceptionHandler() = saved; }
    } restore;
    std::vector<std::string> seen;
    ApplicationExceptionHandler() = [&](std::exception_ptr e, TDaxComponent* sender) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            seen.push_back((sender ? sender->Name() : std::string("-")) + ": " + x.what());
        }
    };
    TDaxComponent band;
    band.SetName("DetailBand");
    std::function<void(int)> onPrint = [](int n) {
        if (n > 1) throw Exception("handler failed");
    };
    EXPECT_TRUE(FireEvent(&band, onPrint, 1));
    EXPECT_FALSE(FireEvent(&band, onPrint, 2));
    std::function<void()> unassigned;
    EXPECT_TRUE(FireEvent(&band, unassigned));
    EXPECT_EQ(seen, (std::vector<std::string>{"DetailBand: handler failed"}));
    EXPECT_EQ(DaxErrorText(56422, "svarTotal"), "Circular variable reference for variable: svarTotal");
    EXPECT_EQ(DaxErrorText(56405, "x"), "The printer is busy, please wait.");
}

TEST(DaxComponentTest, DefaultHandlerWritesToStderrAndAbortIsSilent)
{
    TDaxComponent c;
    c.SetName("Page1");
    std::function<void()> fails = [] { throw Exception("no data"); };
    std::function<void()> aborts = [] { Abort(); };
    ::testing::internal::CaptureStderr();
    FireEvent(&c, fails);
    FireEvent(&c, aborts);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Page1: no data\n");
}

} // namespace
