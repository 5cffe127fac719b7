#include "demo/MacroFile.h"
#include "demo/lzh.h"
#include "platform/runtime/ByteIO.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace Vantrel;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& raw)
{
    Bytes out;
    std::size_t pos = 0;
    int64_t n = 0;
    LzhEncode(
        n,
        [&](const void* b, uint16_t c, uint16_t& a) {
            out.insert(out.end(), static_cast<const uint8_t*>(b), static_cast<const uint8_t*>(b) + c);
            a = c;
        },
        [&](void* b, uint16_t c, uint16_t& a) {
            a = static_cast<uint16_t>(std::min<std::size_t>(c, raw.size() - pos));
            if (a > 0) std::memcpy(b, raw.data() + pos, a);
            pos += a;
        });
    return out;
}

Bytes Unpack(const Bytes& packed, int64_t count)
{
    Bytes out;
    std::size_t pos = 0;
    LzhDecode(
        count,
        [&](const void* b, uint16_t c, uint16_t& a) {
            out.insert(out.end(), static_cast<const uint8_t*>(b), static_cast<const uint8_t*>(b) + c);
            a = c;
        },
        [&](void* b, uint16_t c, uint16_t& a) {
            a = static_cast<uint16_t>(std::min<std::size_t>(c, packed.size() - pos));
            if (a > 0) std::memcpy(b, packed.data() + pos, a);
            pos += a;
        });
    return out;
}

void Le32(Bytes& b, int32_t v)
{
    b.resize(b.size() + 4);
    StoreLE32(b.data() + b.size() - 4, static_cast<uint32_t>(v));
}

int32_t Le32At(const Bytes& b, std::size_t at)
{
    TByteReader r(b);
    r.Seek(at);
    return r.I32();
}

struct Recording {
    std::vector<TEventMsg> events;
    std::vector<TWindowIdentity> identities;
};

// A recording as the recorder makes them: mouse moves and clicks over a few windows.
Recording MakeRecording(int n, uint32_t seed = 1)
{
    static const char* classes[] = {"TButton", "TEdit", "TfrmWizard", "TComboBox", "TListView"};
    static const char* texts[] = {"Next >", "", "Design Wizard", "Channel", "Start New Design"};
    std::mt19937 rng(seed);
    Recording r;
    for (int i = 0; i < n; ++i) {
        TEventMsg e;
        e.message = 0x200 + rng() % 3;
        e.paramL = rng() % 1280;
        e.paramH = rng() % 1024;
        e.time = i * 17;
        e.hwnd = 0x10000 + rng() % 8;
        r.events.push_back(e);
        TWindowIdentity w;
        const int k = static_cast<int>(rng() % 5);
        SetText(w.className, classes[k]);
        SetText(w.windowText, texts[k]);
        w.ownerTag = k;
        w.childTag = -k;
        w.originX = 100 + k;
        w.originY = 200 - k;
        SetText(w.parentClassName, "TFrmMain");
        SetText(w.parentText, "Mastwise");
        w.parentOriginX = -4;
        w.parentOriginY = 7;
        r.identities.push_back(w);
    }
    return r;
}

class DemoFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/test_demo_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    void WriteFile(const std::string& name, const Bytes& b) const
    {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
    }
    Bytes ReadFile(const std::string& name) const
    {
        std::ifstream f(Path(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), {});
    }
    std::string SaveRecording(const std::string& name, const Recording& r)
    {
        TMacroFile f(Path(name));
        f.SaveMacro(r.events, r.identities, static_cast<int>(r.events.size()));
        return Path(name);
    }

    std::string dir_;
};

// Loads a whole macro; returns the records.
Recording LoadAll(const std::string& path)
{
    TMacroFile f(path);
    f.OpenMacro();
    Recording r;
    r.events.resize(static_cast<std::size_t>(f.EventCount()));
    r.identities.resize(static_cast<std::size_t>(f.EventCount()));
    f.LoadMacro(r.events, r.identities, f.EventCount());
    return r;
}

template <class E, class F>
void ExpectError(F&& f, const std::string& message)
{
    try {
        f();
        ADD_FAILURE() << "no exception, expected: " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "wrong exception: " << e.what() << ", expected: " << message;
    }
}

TEST_F(DemoFiles, MacroRoundTrips)
{
    for (int n : {0, 1, 7, 1000}) {
        SCOPED_TRACE(n);
        const Recording r = MakeRecording(n, static_cast<uint32_t>(n));
        const auto path = SaveRecording("demo.mcr", r);
        const Recording back = LoadAll(path);
        EXPECT_TRUE(back.events == r.events);
        EXPECT_TRUE(back.identities == r.identities);
        const Bytes file = ReadFile("demo.mcr");
        EXPECT_EQ(Le32At(file, 4), n);
        if (n == 0) {
            EXPECT_EQ(file.size(), 8u);   // a header and nothing else
        }
    }
}

TEST_F(DemoFiles, RecordsSitWhereOtherProgramsExpectThem)
{
    Recording r = MakeRecording(2);
    r.events[1] = {0x100, 0x2E0041, 0xC0000001, 12345, 0xBEEF};
    TWindowIdentity& w = r.identities[1];
    SetText(w.className, "TBitBtn");
    SetText(w.windowText, "&Print");
    w.ownerTag = 0x01020304;
    w.childTag = -2;
    w.originX = 640;
    w.originY = -1;
    SetText(w.parentClassName, "TPanel");
    SetText(w.parentText, "AutoNBPanel");
    w.parentOriginX = 0x7FFFFFFF;
    w.parentOriginY = 9;
    SaveRecording("layout.mcr", r);

    const Bytes file = ReadFile("layout.mcr");
    ASSERT_GE(file.size(), 8u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{'T', 'Q', '2', 0}));
    const Bytes raw = Unpack(Bytes(file.begin() + 8, file.end()), 2 * 292);
    ASSERT_EQ(raw.size(), 584u);
    // Events first, 20 bytes each: message, paramL, paramH, time, window.
    EXPECT_EQ(Le32At(raw, 20), 0x100);
    EXPECT_EQ(Le32At(raw, 24), 0x2E0041);
    EXPECT_EQ(static_cast<uint32_t>(Le32At(raw, 28)), 0xC0000001u);
    EXPECT_EQ(Le32At(raw, 32), 12345);
    EXPECT_EQ(Le32At(raw, 36), 0xBEEF);
    // Then the identities, 272 bytes each.
    const std::size_t id = 40 + 272;
    EXPECT_STREQ(reinterpret_cast<const char*>(&raw[id + 0]), "TBitBtn");
    EXPECT_STREQ(reinterpret_cast<const char*>(&raw[id + 41]), "&Print");
    EXPECT_EQ(Le32At(raw, id + 124), 0x01020304);
    EXPECT_EQ(Le32At(raw, id + 128), -2);
    EXPECT_EQ(Le32At(raw, id + 132), 640);
    EXPECT_EQ(Le32At(raw, id + 136), -1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&raw[id + 140]), "TPanel");
    EXPECT_STREQ(reinterpret_cast<const char*>(&raw[id + 181]), "AutoNBPanel");
    EXPECT_EQ(Le32At(raw, id + 264), 0x7FFFFFFF);
    EXPECT_EQ(Le32At(raw, id + 268), 9);
}

TEST_F(DemoFiles, PartialLoadTakesIdentitiesAfterAllEvents)
{
    const Recording r = MakeRecording(10);
    const auto path = SaveRecording("part.mcr", r);
    TMacroFile f(path);
    f.OpenMacro();
    std::vector<TEventMsg> ev(4);
    std::vector<TWindowIdentity> ids(4);
    f.LoadMacro(ev, ids, 4);
    EXPECT_TRUE(std::equal(ev.begin(), ev.end(), r.events.begin()));
    EXPECT_TRUE(std::equal(ids.begin(), ids.end(), r.identities.begin()));
}

TEST_F(DemoFiles, DamagedMacroFilesFailWithTheirErrors)
{
    const Recording r = MakeRecording(20);
    const Bytes good = ReadFile(std::filesystem::path(SaveRecording("good.mcr", r)).filename());
    const Bytes body(good.begin() + 8, good.end());
    auto header = [](const char magic[4], int32_t n) {
        Bytes b(magic, magic + 4);
        Le32(b, n);
        return b;
    };
    auto join = [](Bytes a, const Bytes& b) { a.insert(a.end(), b.begin(), b.end()); return a; };

    enum Stage { Open, Load };
    struct Case {
        const char* name;
        Bytes file;
        Stage stage;
        bool notMacro;   // ENoSuchMacro, else ELoadError
    } cases[] = {
        {"empty file", {}, Open, true},
        {"two bytes", {'T', 'Q'}, Open, true},
        {"fourth byte not zero", join(header("TQ2X", 20), body), Open, true},
        {"other magic", join(header("QG2\0", 20), body), Open, true},
        {"no count", {'T', 'Q', '2', 0}, Open, false},
        {"negative count", join(header("TQ2\0", -1), body), Open, false},
        {"count above the limit", join(header("TQ2\0", 100002), Bytes(2000000, 0)), Open, false},
        {"count the data cannot hold", join(header("TQ2\0", 100001), body), Open, false},
        {"count above the block", join(header("TQ2\0", 21), body), Load, false},
        {"block cut short", join(header("TQ2\0", 20), Bytes(body.begin(), body.end() - 1)), Load, false},
        {"block replaced by zeros", join(header("TQ2\0", 20), Bytes(body.size(), 0)), Load, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile("bad.mcr", c.file);
        const std::string path = Path("bad.mcr");
        TMacroFile f(path);
        auto open = [&] { f.OpenMacro(); };
        if (c.stage == Open) {
            if (c.notMacro) {
                ExpectError<ENoSuchMacro>(open, path + " is not a valid Vantrel-file!");
            } else {
                ExpectError<ELoadError>(open, "Unable to load macro.");
            }
            continue;
        }
        ASSERT_NO_THROW(open());
        std::vector<TEventMsg> ev(static_cast<std::size_t>(f.EventCount()));
        std::vector<TWindowIdentity> ids(ev.size());
        ExpectError<ELoadError>([&] { f.LoadMacro(ev, ids, f.EventCount()); }, "Unable to load macro.");
        // A failed load leaves the arrays as they were.
        EXPECT_TRUE(std::all_of(ev.begin(), ev.end(), [](const TEventMsg& e) { return e == TEventMsg{}; }));
    }
    ExpectError<ENoSuchMacro>([&] { TMacroFile(Path("none.mcr")).OpenMacro(); }, "File not found: " + Path("none.mcr"));
}

TEST_F(DemoFiles, EveryTruncatedMacroIsRefused)
{
    const Bytes good = ReadFile(std::filesystem::path(SaveRecording("t.mcr", MakeRecording(40))).filename());
    for (std::size_t size = 0; size < good.size(); ++size) {
        SCOPED_TRACE(size);
        WriteFile("cut.mcr", Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)));
        TMacroFile f(Path("cut.mcr"));
        std::vector<TEventMsg> ev(40);
        std::vector<TWindowIdentity> ids(40);
        try {
            f.OpenMacro();
            f.LoadMacro(ev, ids, f.EventCount());
            ADD_FAILURE() << "loaded";
        } catch (const ELoadError&) {
        } catch (const ENoSuchMacro&) {
            EXPECT_LT(size, 4u);
        }
    }
}

TEST_F(DemoFiles, LoadChecksTheRequestedCount)
{
    const auto path = SaveRecording("c.mcr", MakeRecording(5));
    TMacroFile f(path);
    f.OpenMacro();
    std::vector<TEventMsg> ev(5);
    std::vector<TWindowIdentity> ids(5);
    std::vector<TWindowIdentity> fewIds(3);
    ExpectError<ERangeError>([&] { f.LoadMacro(ev, ids, 6); }, "Unable to read beyond end of file !");
    ExpectError<ERangeError>([&] { f.LoadMacro(ev, ids, -1); }, "Count must be positive !");
    ExpectError<ERangeError>([&] { f.LoadMacro(ev, fewIds, 5); }, "Unable to write beyond end of buffers !");
    EXPECT_NO_THROW(f.LoadMacro(ev, ids, 5));
}

TEST_F(DemoFiles, FailedSaveKeepsThePreviousMacro)
{
    const auto path = SaveRecording("keep.mcr", MakeRecording(30));
    const Bytes before = ReadFile("keep.mcr");
    const Recording big = MakeRecording(3);
    TMacroFile f(path);
    ExpectError<ERangeError>([&] { f.SaveMacro(big.events, big.identities, -1); }, "Count must be positive !");
    ExpectError<ERangeError>([&] { f.SaveMacro(big.events, big.identities, 100002); },
                             "Unable to read beyond end of buffers !");
    ExpectError<ERangeError>([&] { f.SaveMacro(big.events, big.identities, 4); },
                             "Unable to read beyond end of buffers !");
    f.OnProgress = [](int) { throw EAbort(); };
    EXPECT_THROW(f.SaveMacro(big.events, big.identities, 3), EAbort);
    EXPECT_EQ(ReadFile("keep.mcr"), before);

    // Saving over an open macro replaces it; nothing is left beside it.
    TMacroFile g(path);
    g.OpenMacro();
    g.SaveMacro(big.events, big.identities, 3);
    EXPECT_EQ(g.EventCount(), 3);
    EXPECT_TRUE(LoadAll(path).identities == big.identities);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);

    ExpectError<ESaveError>([&] { TMacroFile(Path("no/such/dir.mcr")).SaveMacro(big.events, big.identities, 3); },
                            "Unable to save macro.");
}

// Failures after the checks (the new file cannot be made, or cannot replace the old one) keep
// the previous macro and leave nothing of the new one behind.
TEST_F(DemoFiles, WriteAndReplaceFailuresKeepThePreviousMacro)
{
    const Recording r = MakeRecording(3);
    struct Case {
        const char* name;
        bool failWrite;   // the new file cannot be written out (the file size limit stands in for a full disk)
    } cases[] = {{"the new file cannot be written", true}, {"the old one cannot be replaced", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directory(dir_);
        std::string target = Path("keep.mcr");
        if (c.failWrite) {
            SaveRecording("keep.mcr", MakeRecording(30));
        } else {
            // A folder holding a file cannot be replaced by a file.
            std::filesystem::create_directory(target);
            WriteFile("keep.mcr/inside", {1, 2, 3});
        }
        const Bytes before = c.failWrite ? ReadFile("keep.mcr") : ReadFile("keep.mcr/inside");
        const auto entriesBefore = std::distance(std::filesystem::directory_iterator(dir_), {});
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (c.failWrite) {
            struct rlimit small = saved;
            small.rlim_cur = 10;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        ExpectError<ESaveError>([&] { TMacroFile(target).SaveMacro(r.events, r.identities, 3); },
                                "Unable to save macro.");
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(c.failWrite ? ReadFile("keep.mcr") : ReadFile("keep.mcr/inside"), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), entriesBefore);
    }
}

TEST_F(DemoFiles, ProgressRisesToOneHundred)
{
    struct Case {
        const char* name;
        int events;
    } cases[] = {{"empty macro", 0}, {"long macro", 2000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Recording r = MakeRecording(c.events);
        std::vector<int> saved, loaded;
        TMacroFile f(Path("p.mcr"));
        f.OnProgress = [&](int p) { saved.push_back(p); };
        f.SaveMacro(r.events, r.identities, c.events);
        TMacroFile g(Path("p.mcr"));
        g.OnProgress = [&](int p) { loaded.push_back(p); };
        g.OpenMacro();
        Recording back = r;
        g.LoadMacro(back.events, back.identities, c.events);
        for (const auto* seen : {&saved, &loaded}) {
            EXPECT_TRUE(std::is_sorted(seen->begin(), seen->end()));
            EXPECT_EQ(std::adjacent_find(seen->begin(), seen->end()), seen->end());
        }
        ASSERT_FALSE(saved.empty());
        EXPECT_EQ(saved.back(), 100);
        if (c.events > 0) {
            EXPECT_GT(saved.size(), 50u);
            ASSERT_FALSE(loaded.empty());
            EXPECT_EQ(loaded.back(), 100);
        }
    }
}

// --- Help containers -------------------------------------------------------------------------

TQGEntry MakeEntry(int32_t id, int events, uint32_t seed)
{
    const Recording r = MakeRecording(events, seed);
    return {id, "Entry " + std::to_string(id), r.events, r.identities};
}

TEST_F(DemoFiles, ContainerEntriesLoadById)
{
    const std::vector<TQGEntry> entries = {MakeEntry(5, 12, 1), MakeEntry(7, 40, 2), MakeEntry(5, 3, 3),
                                           MakeEntry(-1, 0, 4), MakeEntry(9, 25, 5)};
    WriteQGFile(Path("help.qgf"), entries);
    TQGFile q(Path("help.qgf"));
    q.OpenContainer();
    ASSERT_EQ(q.EntryCount(), 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(q.Entry(1).info.data())), "Entry 7");

    struct Case {
        int32_t id;
        std::size_t expected;   // index into entries
    } cases[] = {{7, 1}, {5, 0}, {-1, 3}, {9, 4}};   // a shared id gives the first; 9 runs to the end
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<TEventMsg> ev;
        std::vector<TWindowIdentity> ids;
        int count = -1;
        q.LoadEntry(c.id, ev, count, ids);
        EXPECT_EQ(count, static_cast<int>(entries[c.expected].events.size()));
        EXPECT_TRUE(ev == entries[c.expected].events);
        EXPECT_TRUE(ids == entries[c.expected].identities);
    }
    std::vector<TEventMsg> ev;
    std::vector<TWindowIdentity> ids;
    int count = 0;
    ExpectError<ENoSuchMacro>([&] { q.LoadEntry(8, ev, count, ids); }, "No macro with ID=8 found.");

    WriteQGFile(Path("one.qgf"), {MakeEntry(1, 30, 9)});
    TQGFile one(Path("one.qgf"));
    one.LoadEntry(1, ev, count, ids);
    EXPECT_EQ(count, 30);
}

// A container assembled from its parts, so that each part can be damaged on its own.
struct ContainerParts {
    const char* magic = "QG2";
    int32_t m = 2;
    int32_t sizeDelta = 0;    // added to the stored index size
    std::vector<int32_t> starts;
    std::vector<int32_t> counts = {10, 20};
    int cutData = 0;          // bytes taken off the end of the file
};

Bytes BuildContainer(const ContainerParts& p)
{
    const Recording a = MakeRecording(10, 1), b = MakeRecording(20, 2);
    const Bytes blockA = PackRecords(a.events, a.identities, 10);
    const Bytes blockB = PackRecords(b.events, b.identities, 20);
    std::vector<int32_t> starts = p.starts.empty() ? std::vector<int32_t>{0, int32_t(blockA.size())} : p.starts;
    Bytes index;
    for (int i = 0; i < 2; ++i) {
        Le32(index, 100 + i);
        index.insert(index.end(), 256, 0);
        Le32(index, starts[static_cast<std::size_t>(i)]);
        Le32(index, p.counts[static_cast<std::size_t>(i)]);
    }
    const Bytes packedIndex = Pack(index);
    Bytes file(p.magic, p.magic + 4);
    Le32(file, p.m);
    Le32(file, int32_t(packedIndex.size()) + p.sizeDelta);
    file.insert(file.end(), packedIndex.begin(), packedIndex.end());
    file.insert(file.end(), blockA.begin(), blockA.end());
    file.insert(file.end(), blockB.begin(), blockB.end());
    file.resize(file.size() - static_cast<std::size_t>(p.cutData));
    return file;
}

TEST_F(DemoFiles, DamagedContainersFailWithTheirErrors)
{
    enum Expect { Loads, NotContainer, OpenFails, EntryFails };
    using Damage = void (*)(ContainerParts&);
    struct Case {
        const char* name;
        Damage damage;
        Expect expect;
    } cases[] = {
        {"sound", [](ContainerParts&) {}, Loads},
        {"fourth byte not zero", [](ContainerParts& p) { p.magic = "QG2!"; }, NotContainer},
        {"macro magic", [](ContainerParts& p) { p.magic = "TQ2"; }, NotContainer},
        {"more than 100 entries", [](ContainerParts& p) { p.m = 101; }, OpenFails},
        {"negative entry count", [](ContainerParts& p) { p.m = -5; }, OpenFails},
        {"index shorter than its entries", [](ContainerParts& p) { p.m = 3; }, OpenFails},
        {"index size beyond the file", [](ContainerParts& p) { p.sizeDelta = 1 << 30; }, OpenFails},
        {"negative index size", [](ContainerParts& p) { p.sizeDelta = -(1 << 30); }, OpenFails},
        {"index size cuts the index", [](ContainerParts& p) { p.sizeDelta = -3; }, OpenFails},
        {"start beyond the file", [](ContainerParts& p) { p.starts = {0, 1 << 20}; }, OpenFails},
        {"negative start", [](ContainerParts& p) { p.starts = {-8, 40}; }, OpenFails},
        {"starts out of order", [](ContainerParts& p) { p.starts = {40, 0}; }, OpenFails},
        {"absurd event count", [](ContainerParts& p) { p.counts = {10, 100000}; }, OpenFails},
        {"negative event count", [](ContainerParts& p) { p.counts = {-1, 20}; }, OpenFails},
        {"event count above the block", [](ContainerParts& p) { p.counts = {11, 20}; }, EntryFails},
        {"last block cut short", [](ContainerParts& p) { p.cutData = 5; }, EntryFails},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContainerParts parts;
        c.damage(parts);
        WriteFile("bad.qgf", BuildContainer(parts));
        const std::string path = Path("bad.qgf");
        TQGFile q(path);
        switch (c.expect) {
        case NotContainer:
            ExpectError<ENoSuchQGFile>([&] { q.OpenContainer(); }, path + " is not a valid Quillpage-File!");
            break;
        case OpenFails:
            ExpectError<ELoadError>([&] { q.OpenContainer(); }, "Unable to load macro.");
            break;
        case Loads:
        case EntryFails: {
            ASSERT_NO_THROW(q.OpenContainer());
            std::vector<TEventMsg> ev;
            std::vector<TWindowIdentity> ids;
            int count = 0;
            const int id = parts.cutData ? 101 : 100;
            if (c.expect == Loads) {
                q.LoadEntry(100, ev, count, ids);
                EXPECT_EQ(count, 10);
                q.LoadEntry(101, ev, count, ids);
                EXPECT_EQ(count, 20);
            } else {
                ExpectError<ELoadError>([&] { q.LoadEntry(id, ev, count, ids); }, "Unable to load macro.");
                EXPECT_TRUE(ev.empty());
            }
            break;
        }
        }
    }
    ExpectError<ENoSuchQGFile>([&] { TQGFile(Path("none.qgf")).OpenContainer(); },
                               "File not found: " + Path("none.qgf"));
}

}  // namespace
