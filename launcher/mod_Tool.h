// The tool catalogue: the planning tools registered under HKEY_CURRENT_USER\Software\Belvor
// (one subkey a tool), their groups, the list view of one group, and starting a tool.
#pragma once

#include "launcher/ComCtrls.h"
#include "platform/runtime/Classes.h"

#include <QIcon>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>


// The key the tools register under.
inline constexpr const char* kToolsKey = "Software\\Belvor";

// Starts FileName with Parameters in Directory. True when it started; otherwise why, when
// given, says what stopped it.
bool ShellRun(const std::string& FileName, const std::string& Parameters, const std::string& Directory,
              std::string* why = nullptr);

// Clears List, then adds the parts of Text between one-character separators; always at
// least one entry ("" gives one empty entry, "a,,b" three, "a," a trailing empty one).
void SplitString(const std::string& Text, const std::string& Separator, TStringList& List);

// Upper-cases the first letter and every letter after a blank or comma, lower-cases the
// other capitals (ASCII letters only): "PCS/CELLULAR" gives "Pcs/cellular".
std::string TitleCase(const std::string& Text);

class TToolItem {
public:
    std::string Description;
    std::string ExeName;
    std::string MenuCaption;
    std::string Path;         // also the working folder of the tool
    std::string Group;        // title-cased comma list
    std::string FullPath;     // Path + "/" + ExeName
    QIcon Icon;
    std::string Parameters;
    std::string Created;      // the executable's date as a short date text
    bool Modified = false;    // AddtlGroups changed in this run
    std::string AddtlGroups;  // title-cased comma list, extended by drag and drop

    // Starts the tool. False when it could not be started; why then says what stopped it.
    bool Execute(std::string* why = nullptr) const;
};

// Subkey names with their tools, in the order the registry lists them. Owns its tools.
class TToolList : public TStringList {
public:
    TToolList();
    ~TToolList() override;
    TToolList(const TToolList&) = delete;
    TToolList& operator=(const TToolList&) = delete;

    TStringList Groups;  // sorted, each name once
    TImageList Images;   // 32 x 32: the icons of the tools in the list view

    // The registry file read and written (the user's, unless changed).
    std::string RegistryFile;

    // EInvalidCast when the entry holds no tool.
    TToolItem* GetTool(int Index) const;
    TToolItem* AddTool(const std::string& KeyName);
    // Reads the catalogue. A key that cannot be opened leaves it empty; a damaged registry
    // file raises ERegistryDamaged (the file is left as it is).
    void LoadTools();
    void AddGroups(const std::string& GroupList);
    void FillListView(TListView& ListView, const std::string& GroupName);
    // Writes "AddtlGroups" of the modified tools, nothing else.
    void SaveGroups();

private:
    void ClearTools();

    // The tools, owned here, by the object their name carries in the list.
    std::unordered_map<const void*, std::unique_ptr<TToolItem>> tools_;
};

// True when GroupName stands in the tool's group lists (a substring test; "" never matches).
bool ToolInGroup(const TToolItem& Tool, const std::string& GroupName);
