// The icon list and its "Icons" stream.
#include "launcher/graphics/IcoList.h"

#include <QFile>

namespace {
std::vector<uint8_t> ReadIconFile(const std::string& name)
{
    QFile f(QString::fromStdString(name));
    if (!f.open(QIODevice::ReadOnly)) throw EFOpenError("Cannot open icon resource \"" + name + "\"");
    const QByteArray data = f.readAll();
    return std::vector<uint8_t>(data.begin(), data.end());
}

// Holds the list's update count for a scope.
class TUpdate {
public:
    explicit TUpdate(TIconList& list) : list_(list) { list_.BeginUpdate(); }
    ~TUpdate() { list_.EndUpdate(); }

private:
    TIconList& list_;
};
} // namespace

TIconList::~TIconList()
{
    OnChange = nullptr;
    for (auto& e : entries_)
        if (e) e->OnChange = nullptr;
}

void TIconList::BeginUpdate() { ++updateCount_; }

void TIconList::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TIconList::Changed()
{
    if (updateCount_ == 0 && OnChange) OnChange(*this);
}

void TIconList::CheckIndex(int index, int limit) const
{
    if (index < 0 || index >= limit) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

TIcon* TIconList::GetIcon(int index) const
{
    CheckIndex(index, GetCount());
    return entries_[static_cast<size_t>(index)].get();
}

int TIconList::IndexOf(const TIcon* icon) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].get() == icon) return static_cast<int>(i);
    return -1;
}

std::unique_ptr<TIcon> TIconList::Adopt(const TIcon* source)
{
    auto icon = std::make_unique<TIcon>();
    if (source) icon->Assign(*source);
    icon->OnChange = [this](TGraphic&) { Changed(); };
    return icon;
}

int TIconList::Add(const TIcon& icon)
{
    Insert(GetCount(), icon);
    return GetCount() - 1;
}

int TIconList::AddResource(const std::string& name)
{
    InsertResource(GetCount(), name);
    return GetCount() - 1;
}

void TIconList::Insert(int index, const TIcon& icon)
{
    CheckIndex(index, GetCount() + 1);
    entries_.insert(entries_.begin() + index, Adopt(&icon));
    Changed();
}

void TIconList::InsertResource(int index, const std::string& name)
{
    TIcon icon;
    icon.LoadFromBytes(ReadIconFile(name));
    Insert(index, icon);
}

void TIconList::PutIcon(int index, const TIcon& icon)
{
    TUpdate update(*this);
    if (index == GetCount()) entries_.push_back(nullptr);
    CheckIndex(index, GetCount());
    auto& entry = entries_[static_cast<size_t>(index)];
    if (!entry) entry = Adopt(nullptr);
    entry->Assign(icon);
}

void TIconList::Delete(int index)
{
    CheckIndex(index, GetCount());
    if (auto& e = entries_[static_cast<size_t>(index)]) e->OnChange = nullptr;
    entries_.erase(entries_.begin() + index);
    Changed();
}

void TIconList::Exchange(int a, int b)
{
    CheckIndex(a, GetCount());
    CheckIndex(b, GetCount());
    std::swap(entries_[static_cast<size_t>(a)], entries_[static_cast<size_t>(b)]);
    Changed();
}

void TIconList::Move(int from, int to)
{
    if (from == to) return;
    CheckIndex(from, GetCount());
    CheckIndex(to, GetCount());
    auto entry = std::move(entries_[static_cast<size_t>(from)]);
    entries_.erase(entries_.begin() + from);
    entries_.insert(entries_.begin() + to, std::move(entry));
    Changed();
}

void TIconList::Clear()
{
    TUpdate update(*this);
    for (int i = GetCount() - 1; i >= 0; --i) Delete(i);
}

void TIconList::Assign(const TIconList* source)
{
    if (source == this) return;
    TUpdate update(*this);
    Clear();
    if (!source) return;
    for (const auto& e : source->entries_) {
        if (e)
            Add(*e);
        else
            entries_.push_back(nullptr);
    }
}

void TIconList::Assign(const TIcon& icon)
{
    TUpdate update(*this);
    Clear();
    Add(icon);
}

bool TIconList::StoresIcons(const TIconList* ancestor) const
{
    if (!ancestor) return GetCount() > 0;
    if (ancestor->GetCount() != GetCount()) return GetCount() > 0;
    for (int i = 0; i < GetCount(); ++i)
        if (ancestor->entries_[static_cast<size_t>(i)] != entries_[static_cast<size_t>(i)]) return true;
    return false;
}

void TIconList::ReadIcons(TStream& stream)
{
    TUpdate update(*this);
    Clear();
    const int32_t count = stream.ReadI32();
    // Every entry takes at least its size field: a larger count is damage.
    if (count < 0 || int64_t(count) * 4 > stream.Size() - stream.Position()) throw EReadError();
    for (int32_t i = 0; i < count; ++i) {
        const int32_t size = stream.ReadI32();
        if (size <= 0) {
            entries_.push_back(nullptr);
            continue;
        }
        if (size > stream.Size() - stream.Position()) throw EReadError();
        std::vector<uint8_t> bytes(static_cast<size_t>(size));
        stream.ReadBuffer(bytes.data(), size);
        auto icon = Adopt(nullptr);
        icon->LoadFromBytes(std::move(bytes));
        entries_.push_back(std::move(icon));
    }
}

void TIconList::WriteIcons(TStream& stream) const
{
    stream.WriteI32(GetCount());
    for (const auto& e : entries_) {
        if (!e || e->Empty()) {
            stream.WriteI32(0);
            continue;
        }
        stream.WriteI32(static_cast<int32_t>(e->Bytes().size()));
        stream.WriteBuffer(e->Bytes().data(), static_cast<int64_t>(e->Bytes().size()));
    }
}
