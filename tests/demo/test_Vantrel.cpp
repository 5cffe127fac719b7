// The recorder and player against a fake clock, window system and injector.
#include "demo/Vantrel.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <algorithm>

using namespace Vantrel;

namespace {

// A window tree: every window has a class, text, rectangle, parent and Tag.
class FakeWindows : public IWindowServices {
public:
    struct W {
        std::string cls, text;
        TScreenPoint origin;
        int w = 100, h = 50;
        THandle parent = 0;
        int32_t tag = 0;
        bool control = true;
        bool exists = true;
    };
    THandle Add(W w)
    {
        const THandle h = next_++;
        win[h] = std::move(w);
        order.push_back(h);
        return h;
    }
    void Move(THandle h, int dx, int dy)
    {
        // A window moves with its children.
        for (auto& [k, w] : win)
            if (k == h || IsInside(k, h)) {
                w.origin.x += dx;
                w.origin.y += dy;
            }
    }
    bool IsInside(THandle k, THandle top)
    {
        for (THandle p = win[k].parent; p; p = win[p].parent)
            if (p == top) return true;
        return false;
    }
    TScreenPoint At(THandle h, int x = 5, int y = 5) { return {win[h].origin.x + x, win[h].origin.y + y}; }

    THandle WindowAt(TScreenPoint p) override
    {
        // The last added window containing the point (children are added after parents).
        THandle found = 0;
        for (THandle h : order) {
            const W& w = win[h];
            if (w.exists && p.x >= w.origin.x && p.x < w.origin.x + w.w && p.y >= w.origin.y && p.y < w.origin.y + w.h &&
                !childOnly.count(h))
                found = h;
        }
        return found;
    }
    std::string ClassName(THandle w) override { return win[w].cls; }
    std::string Text(THandle w) override { return win[w].text; }
    bool Origin(THandle w, TScreenPoint& o) override
    {
        if (!win[w].exists) return false;
        o = win[w].origin;
        return true;
    }
    THandle Parent(THandle w) override { return win[w].parent; }
    bool IsControl(THandle w) override { return win[w].control; }
    int32_t Tag(THandle w) override { return win[w].tag; }
    THandle ControlAt(THandle control, TScreenPoint p) override
    {
        for (THandle h : order)
            if (childOnly.count(h) && win[h].parent == control) {
                const W& w = win[h];
                if (p.x >= w.origin.x && p.x < w.origin.x + w.w && p.y >= w.origin.y && p.y < w.origin.y + w.h) return h;
            }
        return 0;
    }
    THandle ChildWithTag(THandle control, int32_t tag) override
    {
        for (THandle h : order)
            if (win[h].parent == control && win[h].tag == tag && win[h].exists) return h;
        return 0;
    }
    bool Exists(THandle w) override { return win.count(w) && win[w].exists; }
    bool TopLevelWindows(std::vector<THandle>& out) override
    {
        ++enumerations;
        if (failEnumeration) return false;
        for (THandle h : order)
            if (win[h].exists && (!win[h].parent || !win[h].control || ownerOnly.count(h))) out.push_back(h);
        return true;
    }
    bool ChildWindows(THandle top, std::vector<THandle>& out) override
    {
        for (THandle h : order)
            if (win[h].exists && IsInside(h, top) && !childOnly.count(h)) out.push_back(h);
        return true;
    }

    std::map<THandle, W> win;
    std::vector<THandle> order;
    std::set<THandle> childOnly;   // graphic controls: found by ControlAt only
    std::set<THandle> ownerOnly;   // top-level windows with an owner
    int enumerations = 0;
    bool failEnumeration = false;

private:
    THandle next_ = 1;
};

// The platform: a clock the test moves, the schedule, and what was injected.
class FakeHost : public IRecorderHost {
public:
    uint32_t TickCount() override { return now; }
    TScreenPoint CursorPos() override { return cursor; }
    void StartRecording() override { recording = true; }
    void StopRecording() override { recording = false; }
    void StartPlayback() override { playing = true; }
    void StopPlayback() override { playing = false; }
    void ScheduleIn(int ms) override { due = now + static_cast<uint32_t>(ms); }
    void CancelSchedule() override { due.reset(); }
    void Inject(const TEventMsg& e) override { played.push_back({now, e}); }
    void Defer(std::function<void()> work) override { deferred.push_back(std::move(work)); }
    void Beep() override { ++beeps; }
    void ShowWarning(const std::string& t) override { warnings.push_back(t); }
    void ShowError(const std::string& t) override { errors.push_back(t); }
    void SetCursorHidden(bool h) override { cursorHidden = h; }
    void ConfineCursor(bool on) override { confined = on; }
    void BringOwnerToFront() override { ++fronts; }

    void RunDeferred()
    {
        while (!deferred.empty()) {
            auto w = std::move(deferred.front());
            deferred.pop_front();
            w();
        }
    }
    // Runs the schedule until nothing is due, at most `limit` events.
    void RunPlayback(TVantrel& v, int limit = 100000)
    {
        while (due && limit-- > 0) {
            now = std::max(now, *due);
            due.reset();
            v.PlayNext();
            RunDeferred();
        }
    }

    uint32_t now = 1000;
    TScreenPoint cursor;
    bool recording = false, playing = false, cursorHidden = false, confined = false;
    std::optional<uint32_t> due;
    struct Played {
        uint32_t at;
        TEventMsg e;
    };
    std::vector<Played> played;
    std::deque<std::function<void()>> deferred;
    int beeps = 0, fronts = 0;
    std::vector<std::string> warnings, errors;
};

// The info-box operations are for descendants.
struct TestVantrel : TVantrel {
    using TVantrel::TVantrel;
    using TVantrel::DoCloseInfoBox;
    using TVantrel::DoShowInfoBox;
};

TEventMsg Ev(uint32_t message, int32_t time, uint32_t l = 0, uint32_t h = 0) { return {message, l, h, time, 0}; }

class VantrelTest : public ::testing::Test {
protected:
    std::string File(const char* name) { return (dir.path() / name).string(); }
    // Saves a macro of these events (identities empty unless given).
    std::string Macro(const std::vector<TEventMsg>& events, std::vector<TWindowIdentity> ids = {},
                      const char* name = "m.mcr")
    {
        ids.resize(events.size());
        TMacroFile f(File(name));
        f.SaveMacro(events, ids, static_cast<int>(events.size()));
        return File(name);
    }
    mwtest::TempDir dir;
    FakeHost host;
    FakeWindows windows;
    TestVantrel v{host, windows};
};

std::vector<uint32_t> Offsets(const FakeHost& host)
{
    std::vector<uint32_t> out;
    for (const auto& p : host.played) out.push_back(p.at - host.played.front().at);
    return out;
}

}  // namespace

TEST_F(VantrelTest, SpeedFactorsAndTheirRoundTrip)
{
    const float factors[] = {5.0f, 2.5f, 5.0f / 3, 1.25f, 1.0f, 0.8f, 0.6f, 0.4f, 0.2f};
    for (int p = 1; p <= 9; ++p) {
        v.SetPlaySpeed(p);
        EXPECT_FLOAT_EQ(v.TimeFactor(), factors[p - 1]) << p;
        EXPECT_EQ(v.PlaySpeed(), p);
    }
    v.SetPlaySpeed(12);
    EXPECT_EQ(v.PlaySpeed(), 9);
}

TEST_F(VantrelTest, ScheduledTimesRoundHalvesToEven)
{
    struct {
        int32_t t;
        float factor;
        int64_t expected;
    } cases[] = {{2, 1.25f, 2}, {6, 1.25f, 8}, {1, 2.5f, 2}, {3, 2.5f, 8}, {100, 0.2f, 20}, {7, 5.0f, 35}, {0, 0.2f, 0}};
    for (const auto& c : cases) EXPECT_EQ(TVantrel::ScaledTime(c.t, c.factor), c.expected) << c.t << " x " << c.factor;
}

TEST_F(VantrelTest, PlaybackFollowsTheScheduleAtEachSpeed)
{
    v.SetMacroName(Macro({Ev(WM_KEYDOWN, 40), Ev(WM_KEYUP, 100), Ev(WM_KEYDOWN, 250), Ev(WM_KEYUP, 251)}));
    for (int speed : {1, 4, 5, 9}) {
        SCOPED_TRACE(speed);
        host.played.clear();
        v.SetPlaySpeed(speed);
        v.PlayMacro();
        const uint32_t start = host.now;
        host.RunPlayback(v);
        ASSERT_EQ(host.played.size(), 4u);
        EXPECT_EQ(host.played[0].at, start);   // the first event plays at once
        for (std::size_t i = 1; i < 4; ++i) {
            const int32_t t = std::vector<int32_t>{40, 100, 250, 251}[i];
            EXPECT_EQ(host.played[i].at, start + static_cast<uint32_t>(TVantrel::ScaledTime(t, v.TimeFactor())));
        }
        EXPECT_EQ(v.State(), vsIdle);
        EXPECT_FALSE(host.playing);
    }
}

TEST_F(VantrelTest, RemovedEventsTiming)
{
    struct Case {
        const char* what;
        bool showMouse, textOnly;
        std::vector<TEventMsg> in;
        std::vector<uint32_t> messages;
        std::vector<int32_t> times;
    };
    const Case cases[] = {
        {"a move between two keys", false, false,
         {Ev(WM_KEYDOWN, 0), Ev(WM_MOUSEMOVE, 100), Ev(WM_KEYUP, 150)}, {WM_KEYDOWN, WM_KEYUP}, {0, 50}},
        {"two moves in a row count from the last", false, false,
         {Ev(WM_KEYDOWN, 0), Ev(WM_MOUSEMOVE, 100), Ev(WM_MOUSEMOVE, 130), Ev(WM_KEYUP, 150)},
         {WM_KEYDOWN, WM_KEYUP}, {0, 20}},
        {"a move first", false, false,
         {Ev(WM_MOUSEMOVE, 30), Ev(WM_LBUTTONDOWN, 70), Ev(WM_LBUTTONUP, 90)},
         {WM_LBUTTONDOWN, WM_LBUTTONUP}, {40, 60}},
        {"moves kept", true, false,
         {Ev(WM_KEYDOWN, 0), Ev(WM_MOUSEMOVE, 100), Ev(WM_KEYUP, 150)},
         {WM_KEYDOWN, WM_MOUSEMOVE, WM_KEYUP}, {0, 100, 150}},
        {"text only keeps the keys", true, true,
         {Ev(WM_LBUTTONDOWN, 10), Ev(WM_KEYDOWN, 50), Ev(WM_LBUTTONUP, 60), Ev(WM_KEYUP, 80)},
         {WM_KEYDOWN, WM_KEYUP}, {40, 60}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TEventMsg> events = c.in;
        std::vector<TWindowIdentity> ids(events.size());
        for (std::size_t i = 0; i < ids.size(); ++i) ids[i].ownerTag = static_cast<int32_t>(i);
        if (!c.showMouse) TVantrel::RemoveEvents(events, ids, [](const TEventMsg& e) { return e.message == WM_MOUSEMOVE; });
        if (c.textOnly) TVantrel::RemoveEvents(events, ids, [](const TEventMsg& e) { return !IsKeyMessage(e.message); });
        ASSERT_EQ(events.size(), c.messages.size());
        ASSERT_EQ(ids.size(), events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].message, c.messages[i]);
            EXPECT_EQ(events[i].time, c.times[i]);
            // Identities stay with their events.
            for (std::size_t k = 0; k < c.in.size(); ++k)
                if (ids[i].ownerTag == static_cast<int32_t>(k)) {
                    EXPECT_EQ(c.in[k].message, events[i].message);
                }
        }
    }
}

TEST_F(VantrelTest, HiddenMovementsHideTheCursorUntilTheEnd)
{
    v.ShowMouseMovements = false;
    v.SetMacroName(Macro({Ev(WM_KEYDOWN, 0), Ev(WM_MOUSEMOVE, 100), Ev(WM_KEYUP, 150)}));
    v.PlayMacro();
    EXPECT_TRUE(host.cursorHidden);
    host.RunPlayback(v);
    EXPECT_EQ(Offsets(host), (std::vector<uint32_t>{0, 50}));
    EXPECT_FALSE(host.cursorHidden);
}

TEST_F(VantrelTest, TextOnlyBuildsNoWindowList)
{
    v.TextOnly = true;
    v.SetMacroName(Macro({Ev(WM_LBUTTONDOWN, 0), Ev(WM_KEYDOWN, 10)}));
    v.PlayMacro();
    host.RunPlayback(v);
    EXPECT_EQ(windows.enumerations, 0);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].e.message, WM_KEYDOWN);
}

TEST_F(VantrelTest, StateTable)
{
    const std::string name = Macro({Ev(WM_KEYDOWN, 0), Ev(WM_KEYUP, 10)});
    // Nameless after creation: nothing plays or records.
    EXPECT_EQ(v.State(), vsNoName);
    v.PlayMacro();
    v.RecordMacro();
    EXPECT_EQ(v.State(), vsNoName);
    EXPECT_FALSE(host.playing || host.recording);
    // A name makes it idle; empty and the same name again makes it idle again.
    v.SetMacroName(name);
    EXPECT_EQ(v.State(), vsIdle);
    v.SetMacroName("");
    EXPECT_EQ(v.State(), vsNoName);
    EXPECT_EQ(v.MacroName(), "");
    v.SetMacroName(name);
    EXPECT_EQ(v.State(), vsIdle);
    // Playing: play, record and name changes are refused.
    v.PlayMacro();
    EXPECT_EQ(v.State(), vsPlaying);
    v.PlayMacro();
    v.RecordMacro();
    v.SetMacroName(File("other.mcr"));
    v.StopMacro();
    EXPECT_EQ(v.State(), vsPlaying);
    EXPECT_EQ(v.MacroName(), name);
    host.RunPlayback(v);
    EXPECT_EQ(v.State(), vsIdle);
    // Recording: play, record and names refused; stop saves.
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    EXPECT_EQ(v.State(), vsRecording);
    EXPECT_TRUE(host.recording);
    v.PlayMacro();
    v.RecordMacro();
    v.SetMacroName(name);
    EXPECT_EQ(v.MacroName(), File("rec.mcr"));
    v.StopMacro();
    EXPECT_EQ(v.State(), vsIdle);
    EXPECT_FALSE(host.recording);
    EXPECT_TRUE(std::filesystem::exists(File("rec.mcr")));
    // The info-box bit.
    v.DoShowInfoBox();
    EXPECT_EQ(v.State(), vsIdle | vsInfoBox);
    v.PlayMacro();
    EXPECT_FALSE(host.playing);
    v.DoCloseInfoBox();
    EXPECT_EQ(v.State(), vsIdle);
}

TEST_F(VantrelTest, RecordsTimesAndIdentitiesAndPlaysThemBack)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {100, 100}, 400, 300, 0, 7});
    const THandle button = windows.Add({"TBitBtn", "Start New Design", {120, 150}, 80, 20, form, 11});
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    const uint32_t start = host.now;
    host.cursor = windows.At(button);
    host.now += 30;
    v.JournalRecord({WM_LBUTTONDOWN, 125, 155, static_cast<int32_t>(host.now), 0});
    host.now += 20;
    v.JournalRecord({WM_LBUTTONUP, 125, 155, static_cast<int32_t>(host.now), 0});
    v.StopMacro();
    (void)start;

    TMacroFile f(File("rec.mcr"));
    f.OpenMacro();
    ASSERT_EQ(f.EventCount(), 2);
    std::vector<TEventMsg> e(2);
    std::vector<TWindowIdentity> id(2);
    f.LoadMacro(e, id, 2);
    EXPECT_EQ(e[0].time, 30);
    EXPECT_EQ(e[1].time, 50);
    EXPECT_EQ(GetText(id[0].className), "TBitBtn");
    EXPECT_EQ(GetText(id[0].windowText), "Start New Design");
    EXPECT_EQ(id[0].ownerTag, 11);
    EXPECT_EQ(GetText(id[0].parentClassName), "TFrmMain");
    EXPECT_EQ(id[0].originX, 120);
    EXPECT_EQ(id[0].parentOriginY, 100);
}

TEST_F(VantrelTest, IdentityOfGraphicChildAndForeignWindow)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {0, 0}, 400, 300, 0, 7});
    const THandle panel = windows.Add({"TPanel", "", {10, 10}, 200, 40, form, 3});
    const THandle speed = windows.Add({"TSpeedButton", "", {50, 15}, 20, 20, panel, 42});
    windows.childOnly.insert(speed);
    TWindowIdentity id = v.BuildIdentity({55, 20});
    EXPECT_EQ(GetText(id.className), "TPanel");
    EXPECT_EQ(id.ownerTag, 3);
    EXPECT_EQ(id.childTag, 42);
    EXPECT_EQ(id.originX, 50);   // the child's corner
    // A window that is no control of ours, inside one: the parent's corner.
    const THandle inner = windows.Add({"Edit", "x", {300, 200}, 20, 20, form, 0, false});
    (void)inner;
    id = v.BuildIdentity({305, 205});
    EXPECT_EQ(GetText(id.className), "Edit");
    EXPECT_EQ(id.ownerTag, 0);
    EXPECT_EQ(id.originX, 0);
    // Nothing under the cursor: an empty record.
    EXPECT_EQ(v.BuildIdentity({900, 900}), TWindowIdentity{});
}

TEST_F(VantrelTest, MatchingTable)
{
    const THandle main = windows.Add({"TFrmMain", "Mastwise", {0, 0}, 400, 300, 0, 0});
    const THandle ok1 = windows.Add({"TBitBtn", "OK", {10, 10}, 50, 20, main, 0});
    const THandle ok2 = windows.Add({"TBitBtn", "Cancel", {70, 10}, 50, 20, main, 0});
    const THandle tagged = windows.Add({"TBitBtn", "Next", {130, 10}, 50, 20, main, 55});
    const THandle dlg = windows.Add({"TfrmSysInfo", "Site", {500, 0}, 200, 200, main, 0});
    windows.ownerOnly.insert(dlg);
    const THandle foreign = windows.Add({"Edit", "", {510, 10}, 50, 20, dlg, 0, false});
    const THandle foreignLoose = windows.Add({"Static", "", {900, 0}, 10, 10, 0, 0, false});
    const THandle foreignChild = windows.Add({"Button", "x", {900, 0}, 10, 10, foreignLoose, 0, false});
    ASSERT_TRUE(v.BuildWindowList());
    auto index = [&](THandle h) {
        for (std::size_t i = 0; i < v.WindowList().size(); ++i)
            if (v.WindowList()[i].window == h) return static_cast<int>(i);
        return -100;
    };
    auto identity = [](const char* cls, const char* text, int32_t tag, const char* parentCls) {
        TWindowIdentity id;
        SetText(id.className, cls);
        SetText(id.windowText, text);
        id.ownerTag = tag;
        SetText(id.parentClassName, parentCls);
        return id;
    };
    struct {
        const char* what;
        TWindowIdentity id;
        int expected;
    } cases[] = {
        {"by Tag", identity("TBitBtn", "whatever", 55, "nothing"), index(tagged)},
        {"Tag not found", identity("TBitBtn", "OK", 99, "TFrmMain"), -1},
        {"by parent class and text", identity("TBitBtn", "Cancel", 0, "TFrmMain"), index(ok2)},
        {"first of equal texts", identity("TBitBtn", "OK", 0, "TFrmMain"), index(ok1)},
        {"parent class differs", identity("TBitBtn", "OK", 0, "TfrmWizard"), -1},
        {"class differs", identity("TEdit", "OK", 0, "TFrmMain"), -1},
        {"a foreign window in a control gives its parent", identity("Edit", "", 0, "TfrmSysInfo"), index(dlg)},
        {"a foreign window in a foreign one gives up", identity("Button", "x", 0, "Static"), -2},
        {"top-level by class and empty parent", identity("TFrmMain", "Mastwise", 0, ""), index(main)},
    };
    (void)foreign;
    (void)foreignChild;
    for (const auto& c : cases) EXPECT_EQ(v.FindRecordedWindow(c.id), c.expected) << c.what;
}

TEST_F(VantrelTest, MovedWindowShiftsEveryPassOfALoop)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {100, 100}, 400, 300, 0, 7});
    const THandle button = windows.Add({"TBitBtn", "Go", {150, 160}, 80, 20, form, 11});
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    host.cursor = windows.At(button, 7, 3);
    v.JournalRecord({WM_LBUTTONDOWN, 157, 163, static_cast<int32_t>(host.now), 0});
    v.JournalRecord({WM_LBUTTONUP, 157, 163, static_cast<int32_t>(host.now + 10), 0});
    host.cursor = windows.At(form, 1, 1);
    v.JournalRecord({WM_KEYDOWN, 0x41, 1, static_cast<int32_t>(host.now + 20), 0});
    v.StopMacro();

    windows.Move(form, 37, -12);
    std::vector<std::string> events;
    v.BeforePlay = [&](TVantrel&) { events.push_back("BeforePlay"); };
    v.OnPlay = [&](TVantrel&) { events.push_back("OnPlay"); };
    v.LoopPlayback = true;
    v.PlayMacro();
    host.RunPlayback(v, 9);   // three passes
    host.RunDeferred();
    ASSERT_EQ(host.played.size(), 9u);
    for (std::size_t i = 0; i < 9; i += 3) {
        EXPECT_EQ(host.played[i].e.paramL, 157u + 37) << i;
        EXPECT_EQ(host.played[i].e.paramH, 163u - 12) << i;
        EXPECT_EQ(host.played[i + 1].e.paramL, 157u + 37);
        EXPECT_EQ(host.played[i + 2].e.paramL, 0x41u);   // keys are not moved
    }
    EXPECT_EQ(std::count(events.begin(), events.end(), "BeforePlay"), 4);   // a fourth pass has begun
    EXPECT_EQ(std::count(events.begin(), events.end(), "OnPlay"), 4);
    EXPECT_EQ(v.State(), vsPlaying);
    v.CancelKey(TCancelKey::CtrlEsc);
    EXPECT_EQ(v.State(), vsIdle);
    EXPECT_FALSE(host.playing);
    EXPECT_EQ(host.beeps, 1);
}

// The press opens a popup under the cursor, placed by its own rules (kept on the screen): the
// release over it goes where the press went, not where the popup went.
TEST_F(VantrelTest, TheReleaseFollowsItsPressNotTheWindowItWasOver)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {100, 100}, 400, 300, 0, 7});
    const THandle combo = windows.Add({"TComboBox", "32", {150, 160}, 80, 20, form, 11});
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    host.cursor = windows.At(combo, 7, 3);
    v.JournalRecord({WM_LBUTTONDOWN, 157, 163, static_cast<int32_t>(host.now), 0});
    const THandle popup = windows.Add({"QComboBoxPrivateContainer", "", {140, 20}, 100, 400, 0, 0});
    host.cursor = windows.At(popup, 17, 143);
    v.JournalRecord({WM_MOUSEMOVE, 157, 163, static_cast<int32_t>(host.now + 5), 0});
    v.JournalRecord({WM_LBUTTONUP, 157, 163, static_cast<int32_t>(host.now + 10), 0});
    host.cursor = windows.At(popup, 17, 103);
    v.JournalRecord({WM_MOUSEMOVE, 157, 123, static_cast<int32_t>(host.now + 20), 0});
    v.StopMacro();

    windows.Move(form, 37, -12);
    windows.Move(popup, 37, 2);
    v.PlayMacro();
    host.RunPlayback(v);
    ASSERT_EQ(host.played.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.played[i].e.paramL, 157u + 37) << i;
        EXPECT_EQ(host.played[i].e.paramH, 163u - 12) << i;
    }
    // Once the button is up, the pointer is aimed by the window it is over again.
    EXPECT_EQ(host.played[3].e.paramL, 157u + 37);
    EXPECT_EQ(host.played[3].e.paramH, 123u + 2);
}

TEST_F(VantrelTest, AWindowNotFoundPlaysAtTheRecordedPlace)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {100, 100}, 400, 300, 0, 7});
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    host.cursor = windows.At(form);
    v.JournalRecord({WM_LBUTTONDOWN, 105, 105, static_cast<int32_t>(host.now), 0});
    v.StopMacro();
    windows.win[form].exists = false;
    const uint32_t start = host.now;
    v.PlayMacro();
    host.RunPlayback(v);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].e.paramL, 105u);
    // It waited for the window in vain, looking for it again (building the list) each time.
    EXPECT_GE(host.played[0].at - start, static_cast<uint32_t>(WindowWaitMs));
    EXPECT_LE(host.played[0].at - start, static_cast<uint32_t>(WindowWaitMs + WindowPollMs));
    EXPECT_GT(windows.enumerations, 2);
    // A window that appears later is found by rebuilding the list.
    windows.win[form].exists = true;
    windows.Move(form, 5, 5);
    host.played.clear();
    v.PlayMacro();
    host.RunPlayback(v);
    EXPECT_EQ(host.played[0].e.paramL, 110u);
    // A failing enumeration plays as recorded.
    windows.failEnumeration = true;
    host.played.clear();
    v.PlayMacro();
    host.RunPlayback(v);
    EXPECT_EQ(host.played[0].e.paramL, 105u);
}

// A press recorded over a window that opens late (a dialog still coming up) waits for it and
// goes to it, however late, within the bound; the events after it keep their distance from it.
// Moves do not wait, and a cancel key ends the wait.
TEST_F(VantrelTest, APressWaitsForItsWindowToAppear)
{
    const THandle form = windows.Add({"TFrmMain", "Mastwise", {100, 100}, 400, 300, 0, 7});
    const THandle dialog = windows.Add({"TfrmSysInfo", "Site", {300, 200}, 200, 100, 0, 9});
    v.SetMacroName(File("rec.mcr"));
    v.RecordMacro();
    const auto t0 = static_cast<int32_t>(host.now);
    host.cursor = windows.At(form);
    v.JournalRecord({WM_LBUTTONDOWN, 105, 105, t0, 0});
    v.JournalRecord({WM_LBUTTONUP, 105, 105, t0 + 10, 0});
    host.cursor = windows.At(dialog);
    v.JournalRecord({WM_MOUSEMOVE, 305, 205, t0 + 100, 0});
    v.JournalRecord({WM_LBUTTONDOWN, 305, 205, t0 + 200, 0});
    v.JournalRecord({WM_LBUTTONUP, 305, 205, t0 + 210, 0});
    v.JournalRecord({WM_KEYDOWN, 0x41, 1, t0 + 250, 0});
    v.StopMacro();

    const struct {
        const char* what;
        int appearsAfter;   // ms after the press was due; -1 never
        bool cancel;        // Ctrl+Esc during the wait
        std::size_t played;
        uint32_t pressAt;   // after the start of the playback
        uint32_t pressX;
    } cases[] = {
        {"opens 300 ms late, moved", 300, false, 6, 500, 305 + 40},
        {"opens just within the bound", WindowWaitMs - 30, false, 6, 200 + WindowWaitMs - 20, 305 + 40},
        {"never opens", -1, false, 6, 200 + WindowWaitMs, 305},
        {"cancelled while waiting", -1, true, 3, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        windows.win[dialog].exists = false;
        windows.win[dialog].origin = {300, 200};
        host.played.clear();
        v.SetPlaySpeed(5);
        v.PlayMacro();
        const uint32_t start = host.now;
        bool cancelled = false;
        for (int limit = 100000; host.due && limit > 0; --limit) {
            host.now = std::max(host.now, *host.due);
            host.due.reset();
            if (c.appearsAfter >= 0 && host.now - start >= 200u + static_cast<uint32_t>(c.appearsAfter) &&
                !windows.win[dialog].exists) {
                windows.win[dialog].exists = true;
                windows.Move(dialog, 40, 0);
            }
            if (c.cancel && host.now - start >= 1000 && !cancelled) {
                cancelled = true;
                v.CancelKey(TCancelKey::CtrlEsc);
                continue;
            }
            v.PlayNext();
        }
        EXPECT_EQ(v.State(), vsIdle);
        ASSERT_EQ(host.played.size(), c.played);
        // The move over the missing dialog played when it was due.
        EXPECT_EQ(host.played[2].at - start, 100u);
        if (c.cancel) continue;
        EXPECT_EQ(host.played[3].at - start, c.pressAt);
        EXPECT_EQ(host.played[3].e.paramL, c.pressX);
        EXPECT_EQ(host.played[4].e.paramL, c.pressX);   // the release follows its press
        EXPECT_EQ(host.played[4].at - host.played[3].at, 10u);
        EXPECT_EQ(host.played[5].at - host.played[3].at, 50u);
    }
}

TEST_F(VantrelTest, CapacityStopsAndSavesOneHundredThousand)
{
    v.SetMacroName(File("big.mcr"));
    v.RecordMacro();
    for (int i = 0; i <= MaxRecordedEvents; ++i) v.JournalRecord(Ev(WM_KEYDOWN, static_cast<int32_t>(host.now + i / 10)));
    EXPECT_EQ(v.State(), vsIdle);
    EXPECT_FALSE(host.recording);
    EXPECT_EQ(host.beeps, 1);
    ASSERT_EQ(host.warnings.size(), 1u);
    EXPECT_EQ(host.warnings[0], "You have reached the maximum recording capacity !\rRecording has stopped.");
    TMacroFile f(File("big.mcr"));
    f.OpenMacro();
    EXPECT_EQ(f.EventCount(), MaxRecordedEvents);
}

TEST_F(VantrelTest, CancelPaths)
{
    std::vector<std::string> seen;
    v.OnRecordEnded = [&](TVantrel&) { seen.push_back("ended"); };
    v.OnRecordCancelled = [&](TVantrel&) { seen.push_back("cancelled"); };
    v.OnPlayCancelled = [&](TVantrel&) { seen.push_back("play cancelled"); };
    // Ctrl+Break ends a recording, Ctrl+Esc cancels it with a beep; both save.
    v.SetMacroName(File("a.mcr"));
    v.RecordMacro();
    v.JournalRecord(Ev(WM_KEYDOWN, static_cast<int32_t>(host.now)));
    v.CancelKey(TCancelKey::CtrlBreak);
    EXPECT_EQ(v.State(), vsIdle);
    v.SetMacroName(File("b.mcr"));
    v.RecordMacro();
    v.CancelKey(TCancelKey::CtrlEsc);
    EXPECT_EQ(host.beeps, 1);
    EXPECT_TRUE(std::filesystem::exists(File("a.mcr")));
    EXPECT_TRUE(std::filesystem::exists(File("b.mcr")));
    // Either key cancels a playback.
    for (TCancelKey key : {TCancelKey::CtrlBreak, TCancelKey::CtrlEsc}) {
        v.SetMacroName(File("a.mcr"));
        v.PlayMacro();
        EXPECT_EQ(v.State(), vsPlaying);
        v.CancelKey(key);
        EXPECT_EQ(v.State(), vsIdle);
        EXPECT_FALSE(host.playing);
        EXPECT_FALSE(host.due);
    }
    // Events fire only after the pending messages have run.
    EXPECT_TRUE(seen.empty());
    host.RunDeferred();
    EXPECT_EQ(seen, (std::vector<std::string>{"ended", "cancelled", "play cancelled", "play cancelled"}));
    // A key when nothing runs does nothing.
    v.CancelKey(TCancelKey::CtrlEsc);
    EXPECT_EQ(host.beeps, 2);   // the second play cancel beeped, not this one
}

TEST_F(VantrelTest, AnEmptyMacroEndsAtOnce)
{
    std::vector<std::string> seen;
    v.OnPlayEnded = [&](TVantrel&) { seen.push_back("ended"); };
    v.SetMacroName(Macro({}));
    v.PlayMacro();
    host.RunDeferred();
    EXPECT_EQ(seen, std::vector<std::string>{"ended"});
    EXPECT_EQ(v.State(), vsIdle);
    EXPECT_FALSE(host.playing);
}

TEST_F(VantrelTest, FailuresLeaveTheComponentIdle)
{
    v.SetMacroName(File("missing.mcr"));
    try {
        v.PlayMacro();
        FAIL();
    } catch (const ENoSuchMacro& e) {
        EXPECT_EQ(std::string(e.what()), "File not found: " + File("missing.mcr"));
    }
    EXPECT_EQ(v.State(), vsIdle);
    mwtest::WriteFileText(File("bad.mcr"), std::string("TQ2\0\5\0\0\0garbage", 15));
    v.SetMacroName(File("bad.mcr"));
    EXPECT_THROW(v.PlayMacro(), ELoadError);
    EXPECT_EQ(v.State(), vsIdle);
    // A save that fails while stopping from the input hook ends the recording and shows it.
    v.SetMacroName(File("no/such/folder/x.mcr"));
    v.RecordMacro();
    v.CancelKey(TCancelKey::CtrlBreak);
    EXPECT_EQ(v.State(), vsIdle);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Unable to save macro.");
}

TEST_F(VantrelTest, HelpPlay)
{
    // No container name, then a missing container and a missing entry: the error boxes.
    EXPECT_THROW(v.PlayQuillpage(-1000), ENoSuchQGFile);
    EXPECT_EQ(v.State(), vsNoName);
    EXPECT_TRUE(v.CommandMessage(-1000, 0));
    v.SetQGFilename(File("help.txt"));
    EXPECT_EQ(v.QGFilename(), File("help.qgf"));
    EXPECT_TRUE(v.CommandMessage(-1000, 0));
    TQGEntry entry{-1001, "one", {Ev(WM_KEYDOWN, 0), Ev(WM_KEYUP, 20)}, {}};
    entry.identities.resize(2);
    WriteQGFile(File("help.qgf"), {entry});
    EXPECT_TRUE(v.CommandMessage(-1002, 0));
    ASSERT_EQ(host.errors.size(), 3u);
    EXPECT_EQ(host.errors[0], "The specified Quillpage file is corrupted or could not be found.\rIf this keeps occuring, contact your vendor.");
    EXPECT_EQ(host.errors[2], "The requested Quillpage entry could not be found.\rIf this problem keeps occuring, contact your vendor.");
    EXPECT_EQ(host.beeps, 3);
    EXPECT_EQ(v.State(), vsNoName);   // a failed help play keeps the state it had
    // Commands above -1000 or with an lParam are not ours.
    EXPECT_FALSE(v.CommandMessage(-999, 0));
    EXPECT_FALSE(v.CommandMessage(-1001, 5));
    // The entry plays; its events fire with its id.
    std::vector<int> ids;
    v.OnQuillpageEnded = [&](TVantrel&, int id) { ids.push_back(id); };
    EXPECT_TRUE(v.CommandMessage(-1001, 0));
    EXPECT_EQ(v.State(), vsHelpPlaying);
    EXPECT_EQ(v.HelpId(), -1001);
    EXPECT_FALSE(v.CommandMessage(-1001, 0));   // not while playing
    host.RunPlayback(v);
    EXPECT_EQ(host.played.size(), 2u);
    EXPECT_EQ(ids, std::vector<int>{-1001});
    EXPECT_EQ(v.State(), vsNoName);
}

TEST_F(VantrelTest, OneRecorderPerProcessAndDestructionStops)
{
    EXPECT_EQ(TVantrel::Instance(), &v);
    try {
        TVantrel second(host, windows);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()), "Only one instance of TVantrel is allowed at once.");
    }
    EXPECT_EQ(TVantrel::Instance(), &v);
}

TEST(VantrelLifetime, DestroyingStopsWhatRuns)
{
    mwtest::TempDir dir;
    FakeHost host;
    FakeWindows windows;
    const std::string name = (dir.path() / "r.mcr").string();
    {
        TVantrel v(host, windows);
        v.SetMacroName(name);
        v.RecordMacro();
        v.JournalRecord(Ev(WM_KEYDOWN, static_cast<int32_t>(host.now)));
    }
    EXPECT_FALSE(host.recording);
    EXPECT_TRUE(std::filesystem::exists(name));
    {
        TVantrel v(host, windows);
        v.ShowMouseMovements = false;
        v.SetMacroName(name);
        v.OnPlayCancelled = [](TVantrel&) { ADD_FAILURE() << "fired after destruction"; };
        v.PlayMacro();
        EXPECT_TRUE(host.cursorHidden);
    }
    EXPECT_FALSE(host.playing);
    EXPECT_FALSE(host.cursorHidden);
    EXPECT_FALSE(host.due);
    host.RunDeferred();
    EXPECT_EQ(TVantrel::Instance(), nullptr);
}
