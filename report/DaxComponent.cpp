#include "DaxComponent.h"

#include "platform/runtime/StrTable.h"

#include <algorithm>
#include <cstdio>

MW_USE_STRING_TABLE(Report);

TDaxExceptionHandler& ApplicationExceptionHandler()
{
    static TDaxExceptionHandler handler = [](std::exception_ptr e, TDaxComponent* sender) {
        try {
            std::rethrow_exception(e);
        } catch (const EAbort&) {
        } catch (const std::exception& x) {
            const std::string who = sender && !sender->Name().empty() ? sender->Name() + ": " : std::string();
            std::fprintf(stderr, "%s%s\n", who.c_str(), x.what());
        } catch (...) {
            std::fprintf(stderr, "unknown exception\n");
        }
    };
    return handler;
}

void HandleException(TDaxComponent* sender)
{
    auto& h = ApplicationExceptionHandler();
    if (h) h(std::current_exception(), sender);
}

bool IsValidIdent(std::string_view s)
{
    if (s.empty()) return false;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

std::string DaxErrorText(int32_t id, std::string_view name)
{
    std::string t = LoadStr(id);
    const auto p = t.find("%s");
    if (p != std::string::npos) t.replace(p, 2, name);
    return t;
}

void DaxError(int32_t id, const TDaxComponent* c)
{
    throw Exception(DaxErrorText(id, c ? c->Name() : std::string()));
}

TDaxComponent::TDaxComponent(TDaxComponent* owner)
{
    if (owner) {
        designing_ = owner->designing_;
        owner->InsertComponent(this);
    }
}

TDaxComponent::~TDaxComponent()
{
    destroying_ = true;
    // Everyone who asked is told first; by now only the base part is left, so receivers
    // compare the pointer and must not call into it.
    while (!freeNotifies_.empty()) {
        TDaxComponent* c = freeNotifies_.back();
        freeNotifies_.pop_back();
        c->RemoveNotifier(this);
        c->Notification(this, TOperation::opRemove);
    }
    while (!components_.empty()) delete components_.back();
    while (!children_.empty()) children_.back()->SetParent(nullptr);
    if (parent_) {
        TDaxComponent* p = parent_;
        auto& ch = p->children_;
        ch.erase(std::remove(ch.begin(), ch.end(), this), ch.end());
        parent_ = nullptr;
    }
    if (owner_) owner_->RemoveComponent(this);
}

TDaxComponent* TDaxComponent::Components(int index) const
{
    if (index < 0 || index >= ComponentCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return components_[static_cast<size_t>(index)];
}

TDaxComponent* TDaxComponent::Controls(int index) const
{
    if (index < 0 || index >= ControlCount()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
    return children_[static_cast<size_t>(index)];
}

TDaxComponent* TDaxComponent::FindComponent(std::string_view name) const
{
    if (name.empty()) return nullptr;
    for (auto* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TDaxComponent::InsertComponent(TDaxComponent* c)
{
    if (!c || c->owner_ == this) return;
    if (c->owner_) c->owner_->RemoveComponent(c);
    if (!c->name_.empty()) ValidateRename(c, {}, c->name_);
    components_.push_back(c);
    c->owner_ = this;
    NotifyOwned(c, TOperation::opInsert);
}

void TDaxComponent::RemoveComponent(TDaxComponent* c)
{
    auto it = std::find(components_.begin(), components_.end(), c);
    if (it == components_.end()) return;
    NotifyOwned(c, TOperation::opRemove);
    components_.erase(it);
    c->owner_ = nullptr;
}

void TDaxComponent::NotifyOwned(TDaxComponent* c, TOperation op)
{
    Notification(c, op);
    for (auto* o : components_)
        if (o != c) o->Notification(c, op);
}

void TDaxComponent::ValidateRename(TDaxComponent* c, const std::string&, const std::string& newName)
{
    if (newName.empty()) return;
    if (TDaxComponent* other = FindComponent(newName); other && other != c)
        throw EComponentError("A component named " + newName + " already exists");
}

void TDaxComponent::SetName(const std::string& name)
{
    if (name == name_) return;
    if (!name.empty() && !IsValidIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
    if (owner_) owner_->ValidateRename(this, name_, name);
    name_ = name;
}

void TDaxComponent::ValidateParent(TDaxComponent* parent)
{
    for (TDaxComponent* p = parent; p; p = p->parent_)
        if (p == this) throw EInvalidOperation("A control cannot have itself as its parent");
}

void TDaxComponent::SetParent(TDaxComponent* parent)
{
    if (parent == parent_) return;
    if (parent) ValidateParent(parent);
    TDaxComponent* old = parent_;
    if (old) {
        auto& ch = old->children_;
        ch.erase(std::remove(ch.begin(), ch.end(), this), ch.end());
    }
    parent_ = parent;
    if (parent) parent->children_.push_back(this);
    ParentChanged(old);
}

void TDaxComponent::FreeNotification(TDaxComponent* c)
{
    if (!c || c == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), c) == freeNotifies_.end()) freeNotifies_.push_back(c);
    if (std::find(c->freeNotifies_.begin(), c->freeNotifies_.end(), this) == c->freeNotifies_.end())
        c->freeNotifies_.push_back(this);
}

void TDaxComponent::RemoveFreeNotification(TDaxComponent* c)
{
    if (!c) return;
    RemoveNotifier(c);
    c->RemoveNotifier(this);
}

void TDaxComponent::RemoveNotifier(TDaxComponent* c)
{
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), c), freeNotifies_.end());
}

void TDaxComponent::Notification(TDaxComponent*, TOperation) {}

void TDaxComponent::SetDesigning(bool d, bool includeOwned)
{
    designing_ = d;
    if (includeOwned)
        for (auto* c : components_) c->SetDesigning(d, true);
}

void TDaxComponent::BeginLoading() { loading_ = true; }

void TDaxComponent::Loaded() { loading_ = false; }
