// The tool catalogue: title case, splitting, groups, the list of a group and writing back.
#include "LauncherFixture.h"
#include "launcher/mod_Tool.h"
#include "platform/services/Registry.h"

TEST(TitleCase, NormalisesGroupLists)
{
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"", ""},
        {"a", "A"},
        {"BROADCAST TOOLS", "Broadcast Tools"},
        {"microwave,base station", "Microwave,Base Station"},
        {"PCS/CELLULAR", "Pcs/cellular"},
        {"broadcast, MICROWAVE", "Broadcast, Microwave"},
        {" leading", " leading"},   // position 1 is upper-cased, never taken as a blank
        {"trailing,", "Trailing,"},
        {"two  BLANKS", "Two  Blanks"},
        {"x,,Y", "X,,Y"},
        {"EARTH-STATION", "Earth-station"},
        {"\xC3\x84RGER AB", "\xC3\x84rger Ab"},  // only ASCII letters change
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(TitleCase(c.in), c.out);
    }
}

TEST(SplitString, SplitsAtEveryComma)
{
    struct Case { const char* in; const char* out; };  // out: the parts joined by "|"
    const Case cases[] = {
        {"", ""}, {"a", "a"}, {"a,b", "a|b"}, {"a,,b", "a||b"}, {"a,", "a|"}, {",a", "|a"}, {" a , b ", " a | b "},
        {",", "|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        TStringList list;
        list.Add("stale");
        SplitString(c.in, ",", list);
        std::string joined;
        for (int i = 0; i < list.Count(); ++i) joined += (i ? "|" : "") + list[i];
        EXPECT_EQ(joined, c.out);
        EXPECT_GE(list.Count(), 1);
    }
}

namespace {

struct ToolEntry {
    std::string key, group, addtl, caption;
};

class Catalogue : public LauncherFixture {
protected:
    // Registers tools whose executables exist (one folder each).
    std::string Register(const std::vector<ToolEntry>& tools)
    {
        std::string text = "# test registry\n";
        for (const auto& t : tools) {
            const std::string path = MakeTool(t.key, t.key + ".sh", true);
            text += "[Software\\Belvor\\" + t.key + "]\nPath=" + path + "\nExeName=" + t.key + ".sh\nGroup=" + t.group +
                    "\nMenuCaption=" + t.caption + "\nDescription=About " + t.key + "\n";
            if (!t.addtl.empty()) text += "AddtlGroups=" + t.addtl + "\n";
        }
        WriteText(registry, text);
        return text;
    }
    void Load(TToolList& list)
    {
        list.RegistryFile = registry;
        list.LoadTools();
    }
};

std::string Joined(const TStrings& s)
{
    std::string out;
    for (int i = 0; i < s.Count(); ++i) out += (i ? "|" : "") + s[i];
    return out;
}

}  // namespace

TEST_F(Catalogue, GroupsComeFromTheGroupValuesOnly)
{
    struct Case { std::vector<std::string> groups; std::string addtl; std::string expected; };
    const Case cases[] = {
        {{}, "", ""},
        {{"broadcast", "BROADCAST, microwave"}, "", "Broadcast|Microwave"},
        {{"Broadcast Tools", "tools"}, "", "Broadcast Tools|Tools"},
        {{""}, "", ""},             // the empty name, once
        {{"a,,b", "c"}, "", "|A|B|C"},
        {{"Cellular"}, "Only Here", "Cellular"},  // additional groups make no group
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::vector<ToolEntry> tools;
        for (size_t i = 0; i < c.groups.size(); ++i)
            tools.push_back({"T" + std::to_string(i), c.groups[i], c.addtl, "Tool " + std::to_string(i)});
        Register(tools);
        TToolList list;
        Load(list);
        EXPECT_EQ(list.Count(), static_cast<int>(tools.size()));
        EXPECT_EQ(Joined(list.Groups), c.expected);
        EXPECT_EQ(list.Groups.Count(), c.groups.empty() ? 0 : static_cast<int>(std::count(c.expected.begin(), c.expected.end(), '|')) + 1);
    }
}

TEST_F(Catalogue, LoadsEveryFieldAndSkipsMissingExecutables)
{
    const std::string a = MakeTool("alpha", "alpha.sh", false);
    WriteText(registry,
              "[Software\\Belvor\\Alpha]\npath=" + a + "/\nEXENAME=alpha.sh\nParameters=-x 'y z'\n"
              "Description=The alpha tool\nMenuCaption=Alpha\nGroup=broadcast tools\nAddtlGroups=MICROWAVE\n"
              "[Software\\Belvor\\Gone]\nPath=" + root + "/nowhere\nExeName=gone.sh\nGroup=Lost\n"
              "[Software\\Belvor\\Folder]\nPath=" + root + "\nExeName=alpha\nGroup=Lost\n");
    TToolList list;
    Load(list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "Alpha");
    const TToolItem* t = list.GetTool(0);
    EXPECT_EQ(t->FullPath, a + "//alpha.sh");  // a trailing slash doubles; the file test decides
    EXPECT_EQ(t->Path, a + "/");
    EXPECT_EQ(t->ExeName, "alpha.sh");
    EXPECT_EQ(t->Parameters, "-x 'y z'");
    EXPECT_EQ(t->Description, "The alpha tool");
    EXPECT_EQ(t->MenuCaption, "Alpha");
    EXPECT_EQ(t->Group, "Broadcast Tools");
    EXPECT_EQ(t->AddtlGroups, "Microwave");
    EXPECT_FALSE(t->Modified);
    EXPECT_FALSE(t->Icon.isNull());  // the desktop's icon for the file type
    EXPECT_FALSE(t->Created.empty());
    EXPECT_EQ(Joined(list.Groups), "Broadcast Tools");
}

TEST_F(Catalogue, FillListViewShowsTheToolsOfOneGroup)
{
    Register({{"Zed", "Broadcast Tools", "", "zed"},
              {"Amp", "Microwave", "Broadcast", "Amplifier"},
              {"Cel", "Cellular,PCS", "", "Cell planner"}});
    TToolList list;
    Load(list);
    struct Case { const char* group; const char* captions; };
    const Case cases[] = {
        {"Broadcast Tools", "zed"},
        {"Tools", "zed"},              // a substring test
        {"Broadcast", "Amplifier|zed"},  // the additional group, sorted by caption
        {"Pcs", "Cell planner"},
        {"PCS", ""},                   // the group lists are title-cased; the test keeps case
        {"", ""},                      // an empty name matches nothing
        {"Earth Station", ""},
    };
    TListView view;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.group);
        list.FillListView(view, c.group);
        std::string captions;
        for (int i = 0; i < view.Count(); ++i) captions += (i ? "|" : "") + view.Item(i).Caption;
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(list.Images.Count(), view.Count());
        for (int i = 0; i < view.Count(); ++i) {
            const TListItem& item = view.Item(i);
            const auto* tool = static_cast<const TToolItem*>(item.Data);
            EXPECT_EQ(item.SubItems, (std::vector<std::string>{tool->Description, tool->Created}));
            // Images are numbered in list order, whatever the sorted place of the item.
            int order = 0;
            for (int k = 0; k < list.Count() && list.GetTool(k) != tool; ++k)
                order += ToolInGroup(*list.GetTool(k), c.group) ? 1 : 0;
            EXPECT_EQ(item.ImageIndex, order);
            EXPECT_EQ(list.Images.Icon(item.ImageIndex).pixmap(32).toImage().pixelColor(16, 16), QColor(255, 0, 0));
        }
    }
}

TEST_F(Catalogue, SaveGroupsWritesOnlyTheModifiedTools)
{
    const std::string before = Register({{"One", "Broadcast", "", "One"}, {"Two", "Broadcast", "Old", "Two"},
                                         {"Three", "Microwave", "", "Three"}});
    {
        TToolList list;
        Load(list);
        list.SaveGroups();  // nothing modified: the file is left alone
        EXPECT_EQ(ReadText(registry), before);
        for (int i = 0; i < list.Count(); ++i) list.GetTool(i)->AddtlGroups = "Changed but not modified";
        TToolItem* two = list.GetTool(list.IndexOf("Two"));
        two->AddtlGroups = "Old,Cellular";
        two->Modified = true;
        TToolItem* three = list.GetTool(list.IndexOf("Three"));
        three->AddtlGroups = "Broadcast";
        three->Modified = true;
        list.SaveGroups();
    }
    std::string expected = before;
    expected.replace(expected.find("AddtlGroups=Old\n"), 16, "AddtlGroups=Old,Cellular\n");
    const std::string threeDesc = "Description=About Three\n";
    expected.insert(expected.find(threeDesc) + threeDesc.size(), "AddtlGroups=Broadcast\n");
    EXPECT_EQ(ReadText(registry), expected);
}

TEST_F(Catalogue, SaveGroupsRecreatesAToolKeyThatHasGone)
{
    Register({{"One", "Broadcast", "", "One"}});
    TToolList list;
    Load(list);
    WriteText(registry, "[Software\\Belvor]\n");
    list.GetTool(0)->AddtlGroups = "Microwave";
    list.GetTool(0)->Modified = true;
    list.SaveGroups();
    TRegIniFile reg(kToolsKey, registry);
    EXPECT_EQ(reg.ReadString("One", "AddtlGroups", ""), "Microwave");
}

TEST_F(Catalogue, ADamagedRegistryIsReportedAndLeftAsItIs)
{
    const std::string damaged = "[Software\\Belvor\\One]\nPath=/x\nthis line is damaged\n";
    WriteText(registry, damaged);
    TToolList list;
    list.RegistryFile = registry;
    try {
        list.LoadTools();
        FAIL() << "no error";
    } catch (const ERegistryDamaged& e) {
        EXPECT_NE(e.Message().find("line 3"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(list.Count(), 0);
    list.SaveGroups();
    EXPECT_EQ(ReadText(registry), damaged);
}

TEST_F(Catalogue, NoRegistryGivesAnEmptyCatalogueAndCreatesTheKey)
{
    TToolList list;
    Load(list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Groups.Count(), 0);
    EXPECT_EQ(ReadText(registry), "[Software\\Belvor]\n");
    // A registry in a place that cannot be made: still an empty catalogue, no error.
    TToolList blocked;
    blocked.RegistryFile = registry + "/inside-a-file.txt";
    EXPECT_NO_THROW(blocked.LoadTools());
    EXPECT_EQ(blocked.Count(), 0);
}

// A catalogue of many tools sharing one program: each tool is read with its own values. Its
// speed at 5,000 tools is bench_catalogue's.
TEST_F(Catalogue, ManyToolsSharingOneProgramLoadEachWithItsValues)
{
    constexpr int n = 300;
    const std::string path = MakeTool("shared", "tool.sh", true);
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "[Software\\Belvor\\T" + std::to_string(i) + "]\nPath=" + path +
                "\nExeName=tool.sh\nGroup=group " + std::to_string(i % 7) + "\nMenuCaption=Tool " + std::to_string(i) +
                "\nDescription=About " + std::to_string(i) + "\n";
    WriteText(registry, text);
    TToolList list;
    Load(list);
    ASSERT_EQ(list.Count(), n);
    EXPECT_EQ(list.Groups.Count(), 7);
    const TToolItem* last = list.GetTool(list.IndexOf("T299"));
    EXPECT_EQ(last->MenuCaption, "Tool 299");
    EXPECT_EQ(last->Description, "About 299");
    EXPECT_EQ(last->Group, "Group 5");
}

TEST(SampleRegistry, RegistersMastwiseAsTheReadmeShows)
{
    const TRegistryData d = TRegistryData::Parse(ReadText(MW_SOURCE_DIR "/tests/launcher/sample-registry.txt"));
    EXPECT_EQ(d.SubKeys("Software\\Belvor"), (std::vector<std::string>{"Mastwise"}));
    struct Case { const char* name; const char* value; };
    const Case cases[] = {{"ExeName", "Mastwise"}, {"MenuCaption", "Mastwise"}, {"Group", "Broadcast"},
                          {"Parameters", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string v;
        EXPECT_TRUE(d.ReadValue("Software\\Belvor\\Mastwise", c.name, v));
        EXPECT_EQ(v, c.value);
    }
}
