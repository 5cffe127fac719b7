#include "ComponentStream.h"

#include "platform/runtime/SysUtils.h"

#include <algorithm>

namespace {

using Kind = TStreamValue::Kind;

std::map<std::string, TStreamFactory>& Registry()
{
    static std::map<std::string, TStreamFactory> classes;
    return classes;
}

int EnumIndex(TEnumNames names, const std::string& id)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (SameText(names[i], id)) return static_cast<int>(i);
    throw Exception("unknown value " + id);
}

}  // namespace

// ---- handler names and tables ------------------------------------------------------------

const std::string* TEventNames::Find(const std::string& property) const
{
    auto it = names_.find(property);
    return it == names_.end() ? nullptr : &it->second;
}

void TEventNames::Set(const std::string& property, const std::string& handler) { names_[property] = handler; }
void TEventNames::Clear(const std::string& property) { names_.erase(property); }

const std::any* TStreamEvents::Find(const std::string& name) const
{
    auto it = handlers_.find(name);
    return it == handlers_.end() ? nullptr : &it->second;
}

void RegisterStreamClass(const std::string& className, TStreamFactory factory)
{
    Registry()[className] = std::move(factory);
}

bool StreamClassRegistered(const std::string& className) { return Registry().count(className) > 0; }

// ---- the reader's state -----------------------------------------------------------------------

class TReadContext {
public:
    struct TFixup {
        int line;
        std::string where, name;
        std::function<void(IStreamComponent*)> set;
    };

    const TStreamEvents* events = nullptr;
    IStreamComponent* owner = nullptr;
    std::map<std::string, IStreamComponent*> byName;  // upper-case names of the stream's components
    std::vector<IStreamComponent*> created;           // in reading order
    std::vector<TFixup> fixups;
    int line = 0;                                     // of the property being read
    std::string where;                                // its class and name, for messages
};

// ---- the filer's typed helpers ----------------------------------------------------------------

void TFiler::DefineProperty(const std::string& name, TRead read, TWrite write)
{
    defs_.push_back({name, std::move(read), std::move(write)});
}

void TFiler::Boolean(const std::string& name, TProp<bool> p, std::optional<bool> def)
{
    DefineProperty(
        name, [set = p.set](const TStreamValue& v) { RequireKind(v, Kind::Boolean); set(v.boolean); },
        [get = p.get, def]() -> std::optional<TStreamValue> {
            bool b = get();
            if (def && *def == b) return std::nullopt;
            return TStreamValue::OfBoolean(b);
        });
}

void TFiler::Integer(const std::string& name, TProp<int64_t> p, std::optional<int64_t> def, int64_t min, int64_t max)
{
    DefineProperty(
        name,
        [set = p.set, min, max](const TStreamValue& v) {
            RequireKind(v, Kind::Integer);
            if (v.integer < min || v.integer > max)
                throw Exception(std::to_string(v.integer) + " is out of range (" + std::to_string(min) + " to " +
                                std::to_string(max) + ")");
            set(v.integer);
        },
        [get = p.get, def]() -> std::optional<TStreamValue> {
            int64_t i = get();
            if (def && *def == i) return std::nullopt;
            return TStreamValue::OfInteger(i);
        });
}

void TFiler::Float(const std::string& name, TProp<double> p, std::optional<double> def)
{
    DefineProperty(
        name,
        [set = p.set](const TStreamValue& v) {
            if (v.kind == Kind::Integer) return set(static_cast<double>(v.integer));
            RequireKind(v, Kind::Float);
            set(v.real);
        },
        [get = p.get, def]() -> std::optional<TStreamValue> {
            double d = get();
            if (def && *def == d) return std::nullopt;
            return TStreamValue::OfFloat(d);
        });
}

void TFiler::String(const std::string& name, TProp<std::string> p, std::optional<std::string> def)
{
    DefineProperty(
        name, [set = p.set](const TStreamValue& v) { RequireKind(v, Kind::String); set(v.text); },
        [get = p.get, def]() -> std::optional<TStreamValue> {
            std::string s = get();
            if (def && *def == s) return std::nullopt;
            return TStreamValue::OfString(std::move(s));
        });
}

void TFiler::Enum(const std::string& name, TProp<int> p, TEnumNames names, std::optional<int> def)
{
    DefineProperty(
        name,
        [set = p.set, names](const TStreamValue& v) {
            RequireKind(v, Kind::Ident);
            set(EnumIndex(names, v.text));
        },
        [get = p.get, names, def, name]() -> std::optional<TStreamValue> {
            int i = get();
            if (def && *def == i) return std::nullopt;
            if (i < 0 || static_cast<size_t>(i) >= names.size())
                throw EWriteError(name + " holds " + std::to_string(i) + ", which has no name");
            return TStreamValue::OfIdent(names[static_cast<size_t>(i)]);
        });
}

void TFiler::Set(const std::string& name, TProp<uint32_t> p, TEnumNames names, std::optional<uint32_t> def)
{
    DefineProperty(
        name,
        [set = p.set, names](const TStreamValue& v) {
            RequireKind(v, Kind::Set);
            uint32_t bits = 0;
            for (const std::string& m : v.items) bits |= 1u << EnumIndex(names, m);
            set(bits);
        },
        [get = p.get, names, def]() -> std::optional<TStreamValue> {
            uint32_t bits = get();
            if (def && *def == bits) return std::nullopt;
            std::vector<std::string> items;
            for (size_t i = 0; i < names.size() && i < 32; ++i)
                if (bits & (1u << i)) items.emplace_back(names[i]);
            return TStreamValue::OfSet(std::move(items));
        });
}

void TFiler::Strings(const std::string& name, TProp<std::vector<std::string>> p)
{
    DefineProperty(
        name, [set = p.set](const TStreamValue& v) { RequireKind(v, Kind::StringList); set(v.items); },
        [get = p.get]() -> std::optional<TStreamValue> {
            std::vector<std::string> items = get();
            if (items.empty()) return std::nullopt;
            return TStreamValue::OfStringList(std::move(items));
        });
}

void TFiler::Binary(const std::string& name, TProp<std::vector<uint8_t>> p)
{
    DefineProperty(
        name, [set = p.set](const TStreamValue& v) { RequireKind(v, Kind::Binary); set(v.bytes); },
        [get = p.get]() -> std::optional<TStreamValue> {
            std::vector<uint8_t> bytes = get();
            if (bytes.empty()) return std::nullopt;
            return TStreamValue::OfBinary(std::move(bytes));
        });
}

void TFiler::BinaryData(const std::string& name, std::function<bool()> hasData, std::function<void(TStream&)> read,
                        std::function<void(TStream&)> write)
{
    DefineProperty(
        name,
        [read = std::move(read)](const TStreamValue& v) {
            RequireKind(v, Kind::Binary);
            TMemoryStream s;
            if (!v.bytes.empty()) s.WriteBuffer(v.bytes.data(), static_cast<int64_t>(v.bytes.size()));
            s.SetPosition(0);
            read(s);
        },
        [hasData = std::move(hasData), write = std::move(write)]() -> std::optional<TStreamValue> {
            if (!hasData()) return std::nullopt;
            TMemoryStream s;
            write(s);
            return TStreamValue::OfBinary(s.Bytes());
        });
}

void ReadProperties(TFiler& filer, const std::vector<TStreamProperty>& props, TReadContext& ctx,
                    const std::string& where);

void TFiler::Object(const std::string& name, const std::function<void(TFiler&)>& define)
{
    TReadContext* ctx = ctx_;
    DefineProperty(
        name,
        [ctx, define, name](const TStreamValue& v) {
            RequireKind(v, Kind::Object);
            if (!ctx) throw Exception("an object is read only by the component reader");
            TFiler sub(ctx);
            define(sub);
            ReadProperties(sub, v.properties, *ctx, ctx->where + "." + name);
        },
        [define]() -> std::optional<TStreamValue> {
            TFiler sub;
            define(sub);
            std::vector<TStreamProperty> props;
            for (const TDef& d : sub.Defs())
                if (auto v = d.write()) props.push_back({d.name, std::move(*v), 0});
            if (props.empty()) return std::nullopt;
            return TStreamValue::OfObject(std::move(props));
        });
}

void TFiler::Ref(const std::string& name, std::function<IStreamComponent*()> get,
                 std::function<void(IStreamComponent*)> set)
{
    TReadContext* ctx = ctx_;
    DefineProperty(
        name,
        [ctx, name, set = std::move(set)](const TStreamValue& v) {
            RequireKind(v, Kind::Reference);
            if (!ctx) throw Exception("a reference is read only by the component reader");
            ctx->fixups.push_back({v.line, ctx->where + "." + name, v.text, set});
        },
        [get = std::move(get)]() -> std::optional<TStreamValue> {
            IStreamComponent* c = get();
            if (!c || c->StreamName().empty()) return std::nullopt;
            return TStreamValue::OfReference(c->StreamName());
        });
}

void TFiler::EventDef(const std::string& name, std::function<bool()> assigned, TEventNames& names,
                      std::function<void(const std::any&)> bind)
{
    TReadContext* ctx = ctx_;
    DefineProperty(
        name,
        [ctx, &names, name, bind = std::move(bind)](const TStreamValue& v) {
            RequireKind(v, Kind::Ident);
            if (!ctx) throw Exception("an event is read only by the component reader");
            const std::any* handler = ctx->events ? ctx->events->Find(v.text) : nullptr;
            if (!handler) throw Exception("unknown event handler " + v.text);
            bind(*handler);
            names.Set(name, v.text);
        },
        [assigned = std::move(assigned), &names, name]() -> std::optional<TStreamValue> {
            const std::string* handler = names.Find(name);
            if (!assigned() || !handler) return std::nullopt;
            return TStreamValue::OfIdent(*handler);
        });
}

// ---- reading ----------------------------------------------------------------------------------

void ReadProperties(TFiler& filer, const std::vector<TStreamProperty>& props, TReadContext& ctx,
                    const std::string& where)
{
    for (const TStreamProperty& p : props) {
        auto def = std::find_if(filer.Defs().begin(), filer.Defs().end(),
                                [&](const TFiler::TDef& d) { return SameText(d.name, p.name); });
        if (def == filer.Defs().end()) throw EComponentStreamError(p.line, "unknown property " + where + "." + p.name);
        std::string saved = ctx.where;
        ctx.where = where;
        try {
            def->read(p.value);
        } catch (const EComponentStreamError&) {
            throw;
        } catch (const std::exception& e) {
            throw EComponentStreamError(p.line, where + "." + p.name + ": " + e.what());
        }
        ctx.where = saved;
    }
}

namespace {

std::string ErrorText(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e)) return "refused";
    return e.what();
}

IStreamComponent* ReadNode(const TStreamNode& node, IStreamComponent* owner, IStreamComponent* parent,
                           TReadContext& ctx)
{
    auto cls = Registry().find(node.className);
    if (cls == Registry().end()) throw EComponentStreamError(node.line, "unknown class " + node.className);
    std::string key = UpperCase(node.name);
    if (ctx.byName.count(key)) throw EComponentStreamError(node.line, "duplicate component name " + node.name);

    IStreamComponent* c = nullptr;
    try {
        c = cls->second(owner);
    } catch (const std::exception& e) {
        throw EComponentStreamError(node.line, "cannot create " + node.className + ": " + ErrorText(e));
    }
    if (!c) throw EComponentStreamError(node.line, "cannot create " + node.className);
    // Owned through `owner` from here on, or the root the caller frees.
    ctx.created.push_back(c);
    ctx.byName[key] = c;
    c->StreamBeginLoading();
    try {
        c->StreamSetName(node.name);
        if (parent) c->StreamSetParent(parent);
    } catch (const std::exception& e) {
        throw EComponentStreamError(node.line, node.name + ": " + ErrorText(e));
    }
    TFiler filer(&ctx);
    c->DefineProperties(filer);
    ReadProperties(filer, node.properties, ctx, node.name);
    for (const TStreamNode& child : node.children) ReadNode(child, c->StreamChildOwner(), c, ctx);
    return c;
}

void Fixup(TReadContext& ctx)
{
    for (const TReadContext::TFixup& f : ctx.fixups) {
        auto it = ctx.byName.find(UpperCase(f.name));
        IStreamComponent* target = it != ctx.byName.end() ? it->second : nullptr;
        if (!target && ctx.owner) target = ctx.owner->StreamFindOwned(f.name);
        if (!target) throw EComponentStreamError(f.line, f.where + ": no component named " + f.name);
        try {
            f.set(target);
        } catch (const std::exception& e) {
            throw EComponentStreamError(f.line, f.where + ": " + ErrorText(e));
        }
    }
}

bool OwnedBy(const IStreamComponent* c, const IStreamComponent* root)
{
    for (; c; c = c->StreamOwner())
        if (c == root) return true;
    return false;
}

// Frees what a failed read created: the root with everything it owns, and before it (the last
// created first, so owned ones go before their owners) whatever a class gave another owner.
void FreeCreated(TReadContext& ctx)
{
    if (ctx.created.empty()) return;
    IStreamComponent* root = ctx.created.front();
    for (auto it = ctx.created.rbegin(); it != ctx.created.rend(); ++it)
        if (!OwnedBy(*it, root)) delete *it;
    delete root;
}

TStreamNode NodeOf(IStreamComponent& c)
{
    TStreamNode node;
    node.name = c.StreamName();
    node.className = c.StreamClassName();
    TFiler filer;
    c.DefineProperties(filer);
    for (const TFiler::TDef& d : filer.Defs())
        if (auto v = d.write()) node.properties.push_back({d.name, std::move(*v), 0});
    for (IStreamComponent* child : c.StreamChildren()) node.children.push_back(NodeOf(*child));
    return node;
}

}  // namespace

std::string WriteComponentText(IStreamComponent& root) { return WriteStreamText(NodeOf(root)); }

std::unique_ptr<IStreamComponent> ReadComponentText(std::string_view text, IStreamComponent* owner,
                                                    const TStreamEvents* events)
{
    TStreamNode tree = ParseStreamText(text);
    TReadContext ctx;
    ctx.events = events;
    ctx.owner = owner;
    try {
        ReadNode(tree, owner, nullptr, ctx);
        Fixup(ctx);
        // The last read first: children stand complete before the components that hold them.
        for (auto it = ctx.created.rbegin(); it != ctx.created.rend(); ++it) (*it)->StreamLoaded();
    } catch (const EComponentStreamError&) {
        FreeCreated(ctx);
        throw;
    } catch (const std::exception& e) {
        FreeCreated(ctx);
        throw EComponentStreamError(tree.line, ErrorText(e));
    }
    return std::unique_ptr<IStreamComponent>(ctx.created.front());
}
