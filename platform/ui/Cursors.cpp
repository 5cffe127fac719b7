#include "platform/ui/Cursors.h"

#include <map>
#include <mutex>

namespace {
struct Entry {
    std::function<QCursor()> make;
    std::optional<QCursor> made;
};

struct Table {
    std::mutex lock;
    std::map<int, Entry> cursors;
};

Table& TheTable()
{
    static Table t;
    return t;
}
} // namespace

void RegisterScreenCursor(int id, std::function<QCursor()> make)
{
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    t.cursors[id] = Entry{std::move(make), std::nullopt};
}

void UnregisterScreenCursor(int id)
{
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    t.cursors.erase(id);
}

std::optional<QCursor> ScreenCursorImage(int id)
{
    Table& t = TheTable();
    std::lock_guard<std::mutex> g(t.lock);
    const auto it = t.cursors.find(id);
    if (it == t.cursors.end()) return std::nullopt;
    if (!it->second.made) it->second.made = it->second.make();
    return it->second.made;
}
