// TIconList: an ordered list of icons (each owned, or an empty entry) that streams as the
// binary property "Icons": int32 count, then per entry an int32 size and that many bytes of
// icon file (size 0: an empty entry). Graphics library, Qt Gui.
#pragma once

#include "platform/graphics/Icon.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TIconList {
public:
    TIconList() = default;
    ~TIconList();
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;

    // Nested; Changed fires when the count returns to 0.
    void BeginUpdate();
    void EndUpdate();
    void Changed();

    TIcon* GetIcon(int index) const;  // null for an empty entry
    int GetCount() const { return static_cast<int>(entries_.size()); }
    int IndexOf(const TIcon* icon) const;

    // A new icon assigned from icon, appended; its index.
    int Add(const TIcon& icon);
    // A new icon read from a Qt resource or file (an icon file), appended; its index.
    int AddResource(const std::string& name);
    // At index = count an empty entry is appended first; an empty entry gets a new icon.
    void PutIcon(int index, const TIcon& icon);
    void Insert(int index, const TIcon& icon);
    void InsertResource(int index, const std::string& name);
    void Delete(int index);
    void Exchange(int a, int b);
    void Move(int from, int to);
    void Clear();
    // Null clears; another list's entries or one icon are copied.
    void Assign(const TIconList* source);
    void Assign(const TIcon& icon);

    // Whether a window layout stores the "Icons" property against its ancestor's list.
    bool StoresIcons(const TIconList* ancestor) const;
    void ReadIcons(TStream& stream);
    void WriteIcons(TStream& stream) const;

    std::function<void(TIconList&)> OnChange;

private:
    std::unique_ptr<TIcon> Adopt(const TIcon* source);
    void CheckIndex(int index, int limit) const;

    std::vector<std::unique_ptr<TIcon>> entries_;
    int updateCount_ = 0;
};
