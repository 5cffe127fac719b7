// Component streaming (platform/streaming, no Qt): a tree of components written to and read
// from the text form of StreamText.h through each class's property table.
//
// A component class takes part by implementing IStreamComponent. Its DefineProperties names
// its properties in declaration order through the filer's typed helpers: a published
// property with a default is written only when it differs from it, one without a default
// always; extra properties (DefineProperty) are written when their writer has data. Reading
// a stream creates each component through the class registry, sets its loading flag, name
// and parent, reads its properties and children; then references are fixed up and, when
// the whole tree stands, Loaded is called on every component, the last read first. Events
// are bound by handler name through the table the owner form hands the reader. A damaged
// stream raises EComponentStreamError naming the line, and every component it created is
// freed again.
#pragma once

#include "StreamText.h"

#include "platform/runtime/Classes.h"

#include <any>
#include <climits>
#include <limits>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

class TFiler;

class IStreamComponent {
public:
    virtual ~IStreamComponent() = default;
    virtual std::string StreamClassName() const = 0;
    virtual std::string StreamName() const = 0;
    virtual void StreamSetName(const std::string& name) = 0;
    // The component that owns this one (nil for none).
    virtual IStreamComponent* StreamOwner() const = 0;
    // The component that owns what is read as this component's children.
    virtual IStreamComponent* StreamChildOwner() { return this; }
    // Raises to refuse the parent.
    virtual void StreamSetParent(IStreamComponent* parent) = 0;
    // The children written nested inside this component, in order.
    virtual std::vector<IStreamComponent*> StreamChildren() const = 0;
    // A component this one owns, for references into an owner form; nil when none.
    virtual IStreamComponent* StreamFindOwned(const std::string& name) const = 0;
    virtual void StreamBeginLoading() = 0;
    virtual void StreamLoaded() = 0;
    virtual void DefineProperties(TFiler& filer) = 0;
};

// Which handler a component's event properties are bound to, by property name.
class TEventNames {
public:
    const std::string* Find(const std::string& property) const;
    void Set(const std::string& property, const std::string& handler);
    void Clear(const std::string& property);

private:
    std::map<std::string, std::string> names_;
};

// The handlers an owner form offers to the streams it reads, by name. A handler is stored as
// the event's own function type; binding it to an event of another type is an error.
class TStreamEvents {
public:
    template <class F>
    void Add(const std::string& name, F handler) { handlers_[name] = std::any(std::move(handler)); }
    const std::any* Find(const std::string& name) const;

private:
    std::map<std::string, std::any> handlers_;
};

// Class name -> factory; filled by unit initialisation of the units that define classes.
// The factory gets the component that is to own the new one (nil for none).
using TStreamFactory = std::function<IStreamComponent*(IStreamComponent* owner)>;
void RegisterStreamClass(const std::string& className, TStreamFactory factory);
bool StreamClassRegistered(const std::string& className);

// The names of an enumeration's values, in order of their numbers.
using TEnumNames = std::span<const char* const>;

// Accessors of one property: a field, or a getter and a setter.
template <class T>
struct TProp {
    std::function<T()> get;
    std::function<void(T)> set;
};
template <class T>
TProp<T> Field(T& field)
{
    return {[&field] { return field; }, [&field](T v) { field = std::move(v); }};
}

class TReadContext;

class TFiler {
public:
    using TWrite = std::function<std::optional<TStreamValue>()>;
    using TRead = std::function<void(const TStreamValue&)>;

    struct TDef {
        std::string name;
        TRead read;
        TWrite write;
    };

    explicit TFiler(TReadContext* reading = nullptr) : ctx_(reading) {}
    bool Reading() const { return ctx_ != nullptr; }
    const std::vector<TDef>& Defs() const { return defs_; }

    // An extra property: `write` gives no value when there is nothing to store.
    void DefineProperty(const std::string& name, TRead read, TWrite write);

    // Published properties.
    void Boolean(const std::string& name, TProp<bool> p, std::optional<bool> def = {});
    void Integer(const std::string& name, TProp<int64_t> p, std::optional<int64_t> def = {},
                 int64_t min = INT32_MIN, int64_t max = INT32_MAX);
    template <class T>
    void Integer(const std::string& name, T& field, std::optional<int64_t> def = {},
                 int64_t min = std::numeric_limits<T>::min(), int64_t max = std::numeric_limits<T>::max())
    {
        Integer(name, {[&field] { return static_cast<int64_t>(field); }, [&field](int64_t v) { field = static_cast<T>(v); }},
                def, min, max);
    }
    void Float(const std::string& name, TProp<double> p, std::optional<double> def = {});
    void String(const std::string& name, TProp<std::string> p, std::optional<std::string> def = {});
    void Enum(const std::string& name, TProp<int> p, TEnumNames names, std::optional<int> def = {});
    template <class E>
    void Enum(const std::string& name, E& field, TEnumNames names, std::type_identity_t<std::optional<E>> def = {})
    {
        Enum(name, {[&field] { return static_cast<int>(field); }, [&field](int v) { field = static_cast<E>(v); }},
             names, def ? std::optional<int>(static_cast<int>(*def)) : std::nullopt);
    }
    // A set as bits 0..n-1 of the names.
    void Set(const std::string& name, TProp<uint32_t> p, TEnumNames names, std::optional<uint32_t> def = {});
    // Written when not empty.
    void Strings(const std::string& name, TProp<std::vector<std::string>> p);
    void Binary(const std::string& name, TProp<std::vector<uint8_t>> p);
    // An extra property in a class's own binary form, read from and written to a stream;
    // written when `hasData` says so.
    void BinaryData(const std::string& name, std::function<bool()> hasData, std::function<void(TStream&)> read,
                    std::function<void(TStream&)> write);
    // A nested persistent object; written when any of its properties is.
    void Object(const std::string& name, const std::function<void(TFiler&)>& define);
    // A reference to another component, resolved after the whole tree is read; written when set.
    template <class C>
    void Reference(const std::string& name, TProp<C*> p)
    {
        Ref(name, [get = p.get]() -> IStreamComponent* { return get(); },
            [set = p.set, name](IStreamComponent* c) {
                C* typed = dynamic_cast<C*>(c);
                if (c && !typed) throw Exception(c->StreamName() + " is of the wrong class for " + name);
                set(typed);
            });
    }
    template <class C>
    void Reference(const std::string& name, C*& field) { Reference<C>(name, Field(field)); }
    // An event bound to a handler of the owner form, written by handler name when assigned.
    template <class F>
    void Event(const std::string& name, F& field, TEventNames& names)
    {
        EventDef(name, [&field] { return static_cast<bool>(field); }, names,
                 [&field, name](const std::any& handler) {
                     const F* f = std::any_cast<F>(&handler);
                     if (!f) throw Exception("the handler does not fit event " + name);
                     field = *f;
                 });
    }

private:
    void Ref(const std::string& name, std::function<IStreamComponent*()> get,
             std::function<void(IStreamComponent*)> set);
    void EventDef(const std::string& name, std::function<bool()> assigned, TEventNames& names,
                  std::function<void(const std::any&)> bind);

    TReadContext* ctx_;
    std::vector<TDef> defs_;
};

// Writes a component and everything it holds.
std::string WriteComponentText(IStreamComponent& root);
// Reads a stream's root component, created with `owner` as its owner (nil for none).
// References resolve among the stream's components first, then among the owner's.
// The caller owns the result.
std::unique_ptr<IStreamComponent> ReadComponentText(std::string_view text, IStreamComponent* owner,
                                                    const TStreamEvents* events = nullptr);
template <class C>
std::unique_ptr<C> ReadComponentTextAs(std::string_view text, IStreamComponent* owner,
                                       const TStreamEvents* events = nullptr)
{
    std::unique_ptr<IStreamComponent> c = ReadComponentText(text, owner, events);
    if (!dynamic_cast<C*>(c.get()))
        throw EComponentStreamError(1, "the stream's root " + c->StreamName() + " is of the wrong class");
    return std::unique_ptr<C>(dynamic_cast<C*>(c.release()));
}
