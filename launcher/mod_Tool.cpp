#include "launcher/mod_Tool.h"

#include "platform/runtime/NumText.h"
#include "platform/services/Registry.h"
#include "platform/services/Shell.h"

#include <QDateTime>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QPixmap>

#include <memory>

bool ShellRun(const std::string& FileName, const std::string& Parameters, const std::string& Directory,
              std::string* why)
{
    return ShellExecuteOpen(FileName, Parameters, Directory, why);
}

void SplitString(const std::string& Text, const std::string& Separator, TStringList& List)
{
    List.Clear();
    std::string rest = Text;
    for (int at = Pos(Separator, rest); at > 0; at = Pos(Separator, rest)) {
        List.Add(Copy(rest, 1, at - 1));
        rest = rest.substr(static_cast<size_t>(at));  // the part and its one-character separator
    }
    List.Add(rest);
}

std::string TitleCase(const std::string& Text)
{
    std::string s = Text;
    const size_t n = s.size();
    if (n == 0) return s;
    auto upper = [](char& c) { if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A'); };
    auto isBreak = [](char c) { return c == ' ' || c == ','; };
    upper(s[0]);
    for (size_t i = 1; i < n; ++i) {
        if (isBreak(s[i]) && i + 1 < n) {
            upper(s[i + 1]);
        } else if (s[i] >= 'A' && s[i] <= 'Z' && !isBreak(s[i - 1])) {
            s[i] = static_cast<char>(s[i] - 'A' + 'a');
        }
    }
    return s;
}

bool ToolInGroup(const TToolItem& Tool, const std::string& GroupName)
{
    return Pos(GroupName, Tool.Group) > 0 || Pos(GroupName, Tool.AddtlGroups) > 0;
}

bool TToolItem::Execute(std::string* why) const { return ShellRun(FullPath, Parameters, Path, why); }

namespace {

// The picture beside the executable with its base name, else the desktop's icon for its type.
QIcon ToolIcon(const std::string& fullPath)
{
    for (const char* ext : {".png", ".ico"}) {
        QPixmap picture;
        if (picture.load(QFile::decodeName(QByteArray::fromStdString(ChangeFileExt(fullPath, ext))))) return QIcon(picture);
    }
    return QFileIconProvider().icon(QFileInfo(QFile::decodeName(QByteArray::fromStdString(fullPath))));
}

std::string ShortDateOf(const std::string& fileName)
{
    const QDate d = QFileInfo(QFile::decodeName(QByteArray::fromStdString(fileName))).lastModified().date();
    return DateToStr(EncodeDate(d.year(), d.month(), d.day()));
}

}  // namespace

TToolList::TToolList() : RegistryFile(RegistryFileName())
{
    Groups.SetSorted(true);
    Groups.Duplicates = TDuplicates::dupIgnore;
    Images.Width = 32;
    Images.Height = 32;
}

TToolList::~TToolList() { ClearTools(); }

void TToolList::ClearTools()
{
    Clear();
    tools_.clear();
}

TToolItem* TToolList::GetTool(int Index) const
{
    // The list's own index check and message; then only a tool this list made is a tool.
    const auto found = tools_.find(Objects(Index));
    if (found == tools_.end()) throw EInvalidCast("Invalid class typecast");
    return found->second.get();
}

TToolItem* TToolList::AddTool(const std::string& KeyName)
{
    auto tool = std::make_unique<TToolItem>();
    TToolItem* added = tool.get();
    tools_.emplace(added, std::move(tool));
    AddObject(KeyName, added);
    return added;
}

void TToolList::LoadTools()
{
    ClearTools();
    std::unique_ptr<TRegIniFile> reg;
    try {
        reg = std::make_unique<TRegIniFile>(kToolsKey, RegistryFile);
    } catch (const ERegistryDamaged&) {
        throw;
    } catch (const ERegistryException&) {
        return;  // no key and none can be made: an empty catalogue
    }
    TStringList keys;
    reg->ReadSections(keys);
    for (int k = 0; k < keys.Count(); ++k) {
        TStringList values;
        reg->ReadSectionValues(keys[k], values);
        const std::string fullPath = values.Values("Path") + "/" + values.Values("ExeName");
        if (!FileExists(fullPath)) continue;
        TToolItem* tool = AddTool(keys[k]);
        tool->FullPath = fullPath;
        const QIcon icon = ToolIcon(fullPath);
        if (icon.isNull()) continue;  // listed, but in no group: never shown
        tool->Icon = icon;
        tool->Parameters = values.Values("Parameters");
        tool->ExeName = values.Values("ExeName");
        tool->Path = values.Values("Path");
        tool->Description = values.Values("Description");
        tool->MenuCaption = values.Values("MenuCaption");
        tool->Group = TitleCase(values.Values("Group"));
        tool->AddtlGroups = TitleCase(values.Values("AddtlGroups"));
        tool->Created = ShortDateOf(fullPath);
        tool->Modified = false;
        AddGroups(tool->Group);
    }
}

void TToolList::AddGroups(const std::string& GroupList)
{
    TStringList parts;
    SplitString(GroupList, ",", parts);
    for (int i = 0; i < parts.Count(); ++i) {
        const std::string name = Trim(parts[i]);
        if (Groups.IndexOf(name) < 0) Groups.Add(name);
    }
}

void TToolList::FillListView(TListView& ListView, const std::string& GroupName)
{
    ListView.Clear();
    Images.Clear();
    ListView.SetLargeImages(&Images);
    ListView.SetSmallImages(&Images);
    int shown = 0;
    for (int i = 0; i < Count(); ++i) {
        TToolItem* tool = GetTool(i);
        if (!ToolInGroup(*tool, GroupName)) continue;
        Images.Add(tool->Icon);
        ListView.Add(TListItem{tool->MenuCaption, {tool->Description, tool->Created}, shown, tool});
        ++shown;
    }
}

void TToolList::SaveGroups()
{
    bool any = false;
    for (int i = 0; i < Count() && !any; ++i) any = GetTool(i)->Modified;
    if (!any) return;  // nothing to write: leave the registry file alone
    TRegIniFile reg(kToolsKey, RegistryFile);
    for (int i = 0; i < Count(); ++i) {
        const TToolItem* tool = GetTool(i);
        if (tool->Modified) reg.WriteString(Strings(i), "AddtlGroups", tool->AddtlGroups);
    }
}
