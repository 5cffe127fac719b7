// The report engine's component model: named components owned by an owner that frees
// them, a parent/child tree with parent checks, free notification, a loading flag, and
// events whose exceptions go to the application's handler.
#pragma once

#include "platform/runtime/SysUtils.h"
#include "platform/streaming/ComponentStream.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TDaxComponent;

enum class TOperation { opInsert, opRemove };

// The application's exception handler. Report events never let an exception escape into
// the generator: it goes here and generation goes on. The default writes the message
// (with the sender's name) to stderr and continues; EAbort is silent.
using TDaxExceptionHandler = std::function<void(std::exception_ptr, TDaxComponent* sender)>;
TDaxExceptionHandler& ApplicationExceptionHandler();
// Calls the handler for the exception now being handled (use inside a catch block).
void HandleException(TDaxComponent* sender);

// Fires an event when assigned; an exception inside goes to the application's handler.
// Returns false when the handler raised.
template <class F, class... A>
bool FireEvent(TDaxComponent* sender, const F& event, A&&... args)
{
    if (!event) return true;
    try {
        event(std::forward<A>(args)...);
        return true;
    } catch (...) {
        HandleException(sender);
        return false;
    }
}

// True for a valid component name: a letter or "_", then letters, digits or "_".
bool IsValidIdent(std::string_view s);

class TDaxComponent : public IStreamComponent {
public:
    explicit TDaxComponent(TDaxComponent* owner = nullptr);
    virtual ~TDaxComponent();
    TDaxComponent(const TDaxComponent&) = delete;
    TDaxComponent& operator=(const TDaxComponent&) = delete;

    virtual std::string ClassName() const { return "TDaxComponent"; }

    const std::string& Name() const { return name_; }
    // Raises EComponentError for an invalid name or one already used within the owner.
    virtual void SetName(const std::string& name);

    // Ownership: an owner frees the components it owns when it is freed.
    TDaxComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TDaxComponent* Components(int index) const;
    TDaxComponent* FindComponent(std::string_view name) const;
    void InsertComponent(TDaxComponent* c);
    void RemoveComponent(TDaxComponent* c);

    // The parent tree (not ownership). SetParent asks ValidateParent first, which refuses by
    // raising; a refused parent leaves the component where it was.
    TDaxComponent* Parent() const { return parent_; }
    void SetParent(TDaxComponent* parent);
    int ControlCount() const { return static_cast<int>(children_.size()); }
    TDaxComponent* Controls(int index) const;

    // Free notification: `Notification(c, opRemove)` reaches every component that asked,
    // when c is freed.
    void FreeNotification(TDaxComponent* c);
    void RemoveFreeNotification(TDaxComponent* c);

    // Component state.
    bool Loading() const { return loading_; }
    bool Designing() const { return designing_; }
    bool Destroying() const { return destroying_; }
    void SetDesigning(bool d, bool includeOwned = true);
    // Reading a component stream: BeginLoading sets the loading flag; Loaded clears it and
    // lets the component finish (defaults that depend on other components, and so on).
    void BeginLoading();
    virtual void Loaded();

    // Asks a visible owner (a label, a page) to redraw itself; nothing in a headless run.
    virtual void Invalidate() {}

    // Component streaming (DaxStreamingCore.cpp): the class's property table comes from
    // RegisterDaxClass; children are the components whose parent this one is.
    std::string StreamClassName() const override { return ClassName(); }
    std::string StreamName() const override { return name_; }
    void StreamSetName(const std::string& name) override { SetName(name); }
    IStreamComponent* StreamOwner() const override { return owner_; }
    IStreamComponent* StreamChildOwner() override;
    void StreamSetParent(IStreamComponent* parent) override;
    std::vector<IStreamComponent*> StreamChildren() const override;
    IStreamComponent* StreamFindOwned(const std::string& name) const override { return FindComponent(name); }
    void StreamBeginLoading() override { BeginLoading(); }
    void StreamLoaded() override { Loaded(); }
    void DefineProperties(TFiler& filer) override;
    // The handlers its events were bound to by name.
    TEventNames EventNames;

protected:
    virtual void Notification(TDaxComponent* c, TOperation op);
    // Called before the parent changes; raise to refuse (EInvalidOperation for a wrong
    // parent class, or Abort() for a silent refusal).
    virtual void ValidateParent(TDaxComponent* parent);
    // Called after the parent changed.
    virtual void ParentChanged(TDaxComponent* oldParent) { (void)oldParent; }
    virtual void ValidateRename(TDaxComponent* c, const std::string& oldName, const std::string& newName);
    void NotifyOwned(TDaxComponent* c, TOperation op);

private:
    void RemoveNotifier(TDaxComponent* c);

    std::string name_;
    TDaxComponent* owner_ = nullptr;
    TDaxComponent* parent_ = nullptr;
    std::vector<TDaxComponent*> components_;
    std::vector<TDaxComponent*> children_;
    std::vector<TDaxComponent*> freeNotifies_;
    bool loading_ = false;
    bool designing_ = false;
    bool destroying_ = false;
};

// Raises a plain Exception with the string-table text `id`, the component's name put in
// place of "%s".
// Registers a component class for streaming: its factory (the new component's owner) and
// its property table (published properties in declaration order, then the extra ones).
// Registering a class again replaces its factory, and its table when one is given.
using TDaxDefineProperties = std::function<void(TDaxComponent& c, TFiler& filer)>;
void RegisterDaxClass(const std::string& className, std::function<TDaxComponent*(TDaxComponent* owner)> create,
                      TDaxDefineProperties define);
template <class C>
void RegisterDaxClass(const std::string& className, std::function<void(C&, TFiler&)> define)
{
    RegisterDaxClass(
        className, [](TDaxComponent* owner) -> TDaxComponent* { return new C(owner); },
        [define = std::move(define)](TDaxComponent& c, TFiler& f) {
            if (auto* typed = dynamic_cast<C*>(&c)) define(*typed, f);
        });
}

// Registers the report core's own stream classes (levels and variables); once, later calls
// do nothing.
void RegisterDaxCoreClasses();

[[noreturn]] void DaxError(int32_t id, const TDaxComponent* c);
std::string DaxErrorText(int32_t id, std::string_view name);
