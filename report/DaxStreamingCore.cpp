// Streaming of the engine's components (report core): the component base's side of the
// filer, the class registry, and the property tables of levels and variables.
#include "DaxComponent.h"
#include "DaxPage.h"
#include "DaxVars.h"

#include <map>
#include <mutex>

namespace {

struct TDaxClass {
    std::function<TDaxComponent*(TDaxComponent*)> create;
    TDaxDefineProperties define;
};

std::map<std::string, TDaxClass>& DaxClasses()
{
    static std::map<std::string, TDaxClass> classes;
    return classes;
}

const char* const kDataTypeNames[] = {"dtypeUnknown", "dtypeString", "dtypeFloat", "dtypeInteger", "dtypeBoolean",
                                      "dtypeDateTime", "dtypeBlob", "dtypeMemo", "dtypeGraphic"};

// "AutoVar" and "ID", always written, after the published properties.
void VarExtras(TDaxVar& v, TFiler& f)
{
    f.Boolean("AutoVar", Field(v.AutoVar));
    // The class fixes its ID; a stream's ID is checked, not taken.
    f.DefineProperty(
        "ID",
        [](const TStreamValue& x) {
            RequireKind(x, TStreamValue::Kind::Ident);
            VarIdFromName(x.text);
        },
        [&v] { return std::optional(TStreamValue::OfIdent(VarIdName(v.ID()))); });
}

void UpdateLevel(TDaxVar& v, TFiler& f)
{
    f.Reference<TDaxLevel>("UpdateLevel", {[&v] { return v.UpdateLevel(); }, [&v](TDaxLevel* l) { v.SetUpdateLevel(l); }});
}

// "IsHeader", written only when true.
void DefineLevel(TDaxLevel& l, TFiler& f) { f.Boolean("IsHeader", Field(l.IsHeader), false); }

void DefineDBVar(TDaxDBVar& v, TFiler& f)
{
    f.String("DataField", {[&v] { return v.DataField(); }, [&v](std::string s) { v.SetDataField(s); }});
    f.Reference<TDaxDataSource>("DataSource",
                                {[&v] { return v.DataSource(); }, [&v](TDaxDataSource* ds) { v.SetDataSource(ds); }});
    UpdateLevel(v, f);
    VarExtras(v, f);
}

void DefineExprVar(TDaxExprVar& v, TFiler& f)
{
    f.Enum("DataType", {[&v] { return static_cast<int>(v.DataType()); },
                        [&v](int t) { v.SetDataType(static_cast<TDaxDataTypes>(t)); }},
           kDataTypeNames);
    f.Event("OnGetData", v.OnGetData, v.EventNames);
    UpdateLevel(v, f);
    VarExtras(v, f);
}

void DefinePlainVar(TDaxVar& v, TFiler& f)
{
    UpdateLevel(v, f);
    VarExtras(v, f);
}

void DefineTotalVar(TDaxTotalvar& v, TFiler& f)
{
    f.Reference<TDaxVar>("Variable", {[&v] { return v.Variable(); }, [&v](TDaxVar* x) { v.SetVariable(x); }});
    UpdateLevel(v, f);
    f.Boolean("IgnoreNulls", Field(v.IgnoreNulls), false);
    VarExtras(v, f);
}

}  // namespace

void RegisterDaxCoreClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterDaxClass<TDaxLevel>("TDaxLevel", DefineLevel);
        RegisterDaxClass<TDaxDBVar>("TDaxDBVar", DefineDBVar);
        RegisterDaxClass<TDaxExprVar>("TDaxExprVar", DefineExprVar);
        RegisterDaxClass<TDaxDateTimeVar>("TDaxDateTimeVar", std::function<void(TDaxDateTimeVar&, TFiler&)>(DefinePlainVar));
        RegisterDaxClass<TDaxPageVar>("TDaxPageVar", std::function<void(TDaxPageVar&, TFiler&)>(DefinePlainVar));
        RegisterDaxClass<TDaxTotalvar>("TDaxTotalvar", DefineTotalVar);
    });
}

void RegisterDaxClass(const std::string& className, std::function<TDaxComponent*(TDaxComponent* owner)> create,
                      TDaxDefineProperties define)
{
    TDaxClass& entry = DaxClasses()[className];
    entry.create = create;
    if (define) entry.define = std::move(define);
    RegisterStreamClass(className, [create](IStreamComponent* owner) -> IStreamComponent* {
        auto* o = dynamic_cast<TDaxComponent*>(owner);
        if (owner && !o) throw Exception("the owner is no report component");
        return create(o);
    });
}

// Labels on a band belong to the band's page, as the bands themselves do.
IStreamComponent* TDaxComponent::StreamChildOwner()
{
    if (dynamic_cast<TDaxPage*>(owner_) && !dynamic_cast<TDaxPage*>(this)) return owner_;
    return this;
}

void TDaxComponent::StreamSetParent(IStreamComponent* parent)
{
    auto* p = dynamic_cast<TDaxComponent*>(parent);
    if (parent && !p) throw EInvalidOperation("the parent is no report component");
    SetParent(p);
}

std::vector<IStreamComponent*> TDaxComponent::StreamChildren() const
{
    return {children_.begin(), children_.end()};
}

void TDaxComponent::DefineProperties(TFiler& filer)
{
    auto it = DaxClasses().find(ClassName());
    if (it != DaxClasses().end() && it->second.define) it->second.define(*this, filer);
}
