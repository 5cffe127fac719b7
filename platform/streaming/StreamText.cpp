#include "StreamText.h"

#include <charconv>
#include <cmath>

namespace {

using Kind = TStreamValue::Kind;

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the text one construct at a time; every step checks what remains first.
class TParser {
public:
    explicit TParser(std::string_view text) : text_(text) {}

    TStreamNode Root()
    {
        SkipBlank();
        if (AtEnd()) Fail("the stream holds no component");
        TStreamNode root = Component(1);
        SkipBlank();
        if (!AtEnd()) Fail("text after the end of the root component");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const { throw EComponentStreamError(line_, what); }
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void SkipBlank()
    {
        while (!AtEnd()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++pos_;
            } else if (c == '#') {
                while (!AtEnd() && text_[pos_] != '\n') ++pos_;
            } else {
                return;
            }
        }
    }

    void Expect(char c, const std::string& what)
    {
        SkipBlank();
        if (AtEnd()) Fail("the stream ends where " + what + " was expected");
        if (Peek() != c) Fail("expected " + what);
        ++pos_;
    }

    std::string Ident(const std::string& what)
    {
        SkipBlank();
        if (AtEnd()) Fail("the stream ends where " + what + " was expected");
        if (!IsIdentStart(Peek())) Fail("expected " + what);
        size_t start = pos_;
        while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
        return std::string(text_.substr(start, pos_ - start));
    }

    // Name : TClass { members }
    TStreamNode Component(int depth)
    {
        if (depth > kMaxStreamDepth) Fail("components nest too deep");
        // Every component joins its owner's list, whose checks look at all the others: a
        // stream of very many would take quadratic time to read.
        if (++components_ > kMaxStreamComponents)
            Fail("a stream of more than " + std::to_string(kMaxStreamComponents) + " components");
        TStreamNode node;
        node.line = line_;
        node.name = Ident("a component name");
        Expect(':', "\":\" after the component name");
        node.className = Ident("a class name");
        Expect('{', "\"{\" after the class name");
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail("the stream ends inside component " + node.name);
            if (Peek() == '}') {
                ++pos_;
                return node;
            }
            size_t mark = pos_;
            int markLine = line_;
            std::string name = Ident("a property or a component");
            SkipBlank();
            if (Peek() == ':') {
                pos_ = mark;
                line_ = markLine;
                node.children.push_back(Component(depth + 1));
            } else {
                node.properties.push_back(Property(std::move(name), markLine, depth));
            }
        }
    }

    TStreamProperty Property(std::string name, int line, int depth)
    {
        Expect('=', "\"=\" after property " + name);
        TStreamProperty p;
        p.name = std::move(name);
        p.line = line;
        p.value = Value(depth);
        return p;
    }

    TStreamValue Value(int depth)
    {
        SkipBlank();
        if (AtEnd()) Fail("the stream ends where a value was expected");
        int line = line_;
        TStreamValue v;
        char c = Peek();
        if (c == '"') v = TStreamValue::OfString(String());
        else if (c == '-' || IsDigit(c)) v = Number();
        else if (c == '@') {
            ++pos_;
            v = TStreamValue::OfReference(Ident("a component name after \"@\""));
        } else if (c == '[') v = TStreamValue::OfSet(SetMembers());
        else if (c == '(') v = TStreamValue::OfStringList(StringList());
        else if (c == '<') v = TStreamValue::OfBinary(Binary());
        else if (c == '{') v = TStreamValue::OfObject(Object(depth + 1));
        else if (IsIdentStart(c)) {
            std::string id = Ident("a value");
            if (id == "true" || id == "false") v = TStreamValue::OfBoolean(id == "true");
            else v = TStreamValue::OfIdent(std::move(id));
        } else {
            Fail("expected a value");
        }
        v.line = line;
        return v;
    }

    std::string String()
    {
        std::string s;
        switch (UnquoteText(text_, pos_, s, false, kMaxStreamString)) {
        case TUnquoteFault::None: return s;
        case TUnquoteFault::Unterminated: Fail("the stream ends inside a string");
        case TUnquoteFault::ControlCharacter: Fail("a control character inside a string");
        case TUnquoteFault::BadHexEscape: Fail("\"\\x\" needs two hex digits");
        case TUnquoteFault::UnknownEscape:
            Fail(std::string("unknown escape \"\\") + text_[pos_ - 1] + "\" in a string");
        case TUnquoteFault::TooLong: break;
        }
        Fail("a string longer than " + std::to_string(kMaxStreamString) + " bytes");
    }

    TStreamValue Number()
    {
        size_t start = pos_;
        if (Peek() == '-') ++pos_;
        bool real = false;
        while (!AtEnd()) {
            char c = text_[pos_];
            if (IsDigit(c)) {
                ++pos_;
            } else if (c == '.' || c == 'e' || c == 'E') {
                real = true;
                ++pos_;
                if ((c == 'e' || c == 'E') && (Peek() == '-' || Peek() == '+')) ++pos_;
            } else {
                break;
            }
        }
        if (!AtEnd() && IsIdentChar(Peek())) Fail("a number runs into a name");
        std::string_view t = text_.substr(start, pos_ - start);
        const char* first = t.data();
        const char* last = t.data() + t.size();
        if (real) {
            double d = 0;
            auto [end, ec] = std::from_chars(first, last, d);
            if (ec != std::errc() || end != last || !std::isfinite(d)) Fail("\"" + std::string(t) + "\" is no number");
            return TStreamValue::OfFloat(d);
        }
        int64_t i = 0;
        auto [end, ec] = std::from_chars(first, last, i);
        if (ec == std::errc::result_out_of_range) Fail("integer " + std::string(t) + " out of range");
        if (ec != std::errc() || end != last) Fail("\"" + std::string(t) + "\" is no number");
        return TStreamValue::OfInteger(i);
    }

    // Items separated by ",", after the opening character, up to `close`.
    template <class Item>
    std::vector<std::string> Items(char close, const std::string& what, Item item)
    {
        ++pos_;
        std::vector<std::string> items;
        SkipBlank();
        if (Peek() == close) {
            ++pos_;
            return items;
        }
        for (;;) {
            items.push_back(item());
            SkipBlank();
            if (AtEnd()) Fail("the stream ends inside " + what);
            char c = text_[pos_++];
            if (c == close) return items;
            if (c != ',') Fail(std::string("expected \",\" or \"") + close + "\" in " + what);
        }
    }

    std::vector<std::string> SetMembers()
    {
        return Items(']', "a set", [this] { return Ident("a set member"); });
    }

    std::vector<std::string> StringList()
    {
        return Items(')', "a string list", [this] {
            SkipBlank();
            if (AtEnd()) Fail("the stream ends inside a string list");
            if (Peek() != '"') Fail("expected a string in a string list");
            return String();
        });
    }

    std::vector<uint8_t> Binary()
    {
        ++pos_;
        std::vector<uint8_t> bytes;
        int high = -1;
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail("the stream ends inside a binary value");
            char c = text_[pos_++];
            if (c == '>') break;
            int d = HexDigitValue(c);
            if (d < 0) Fail("a binary value holds a character that is no hex digit");
            if (high < 0) {
                high = d;
                continue;
            }
            if (bytes.size() >= kMaxStreamBinary)
                Fail("a binary value longer than " + std::to_string(kMaxStreamBinary) + " bytes");
            bytes.push_back(static_cast<uint8_t>(high * 16 + d));
            high = -1;
        }
        if (high >= 0) Fail("a binary value with an odd number of hex digits");
        return bytes;
    }

    std::vector<TStreamProperty> Object(int depth)
    {
        if (depth > kMaxStreamDepth) Fail("objects nest too deep");
        ++pos_;
        std::vector<TStreamProperty> props;
        for (;;) {
            SkipBlank();
            if (AtEnd()) Fail("the stream ends inside an object");
            if (Peek() == '}') {
                ++pos_;
                return props;
            }
            int line = line_;
            std::string name = Ident("a property name");
            props.push_back(Property(std::move(name), line, depth));
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    int line_ = 1;
    int components_ = 0;
};

// ---- writing ----------------------------------------------------------------------------

void Indent(std::string& out, int level) { out.append(static_cast<size_t>(level) * 2, ' '); }

void WriteString(std::string& out, const std::string& s)
{
    // What the reader refuses is not written: the stream would not open again.
    if (s.size() > kMaxStreamString)
        throw EWriteError("a string longer than " + std::to_string(kMaxStreamString) + " bytes cannot be streamed");
    out += QuotedText(s);
}

void WriteFloat(std::string& out, double d)
{
    if (!std::isfinite(d)) throw EWriteError("a float property that is no finite number cannot be streamed");
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, d);
    (void)ec;
    std::string t(buf, end);
    if (t.find_first_of(".e") == std::string::npos) t += ".0";
    out += t;
}

void WriteProperties(std::string& out, const std::vector<TStreamProperty>& props, int level);

void WriteValue(std::string& out, const TStreamValue& v, int level)
{
    static const char hex[] = "0123456789ABCDEF";
    switch (v.kind) {
    case Kind::Integer: out += std::to_string(v.integer); break;
    case Kind::Float: WriteFloat(out, v.real); break;
    case Kind::String: WriteString(out, v.text); break;
    case Kind::Boolean: out += v.boolean ? "true" : "false"; break;
    case Kind::Ident: out += v.text; break;
    case Kind::Reference: out += '@' + v.text; break;
    case Kind::Set:
        out += '[';
        for (size_t i = 0; i < v.items.size(); ++i) out += (i ? ", " : "") + v.items[i];
        out += ']';
        break;
    case Kind::StringList:
        out += '(';
        for (size_t i = 0; i < v.items.size(); ++i) {
            out += '\n';
            Indent(out, level + 1);
            WriteString(out, v.items[i]);
            if (i + 1 < v.items.size()) out += ',';
        }
        out += ')';
        break;
    case Kind::Binary:
        if (v.bytes.size() > kMaxStreamBinary)
            throw EWriteError("a binary value longer than " + std::to_string(kMaxStreamBinary) + " bytes cannot be streamed");
        out += '<';
        for (size_t i = 0; i < v.bytes.size(); ++i) {
            if (i % 32 == 0 && v.bytes.size() > 32) {
                out += '\n';
                Indent(out, level + 1);
            }
            out += hex[v.bytes[i] >> 4];
            out += hex[v.bytes[i] & 15];
        }
        out += '>';
        break;
    case Kind::Object:
        if (level + 1 > kMaxStreamDepth) throw EWriteError("objects nest too deep to be streamed");
        out += "{\n";
        WriteProperties(out, v.properties, level + 1);
        Indent(out, level);
        out += '}';
        break;
    }
}

void WriteProperties(std::string& out, const std::vector<TStreamProperty>& props, int level)
{
    for (const TStreamProperty& p : props) {
        Indent(out, level);
        out += p.name + " = ";
        WriteValue(out, p.value, level);
        out += '\n';
    }
}

void WriteNode(std::string& out, const TStreamNode& node, int level, int& components)
{
    if (level + 1 > kMaxStreamDepth) throw EWriteError("components nest too deep to be streamed");
    if (++components > kMaxStreamComponents)
        throw EWriteError("more than " + std::to_string(kMaxStreamComponents) + " components cannot be streamed");
    Indent(out, level);
    out += node.name + " : " + node.className + " {\n";
    WriteProperties(out, node.properties, level + 1);
    for (const TStreamNode& child : node.children) WriteNode(out, child, level + 1, components);
    Indent(out, level);
    out += "}\n";
}

}  // namespace

TStreamValue TStreamValue::OfInteger(int64_t v) { TStreamValue r; r.kind = Kind::Integer; r.integer = v; return r; }
TStreamValue TStreamValue::OfFloat(double v) { TStreamValue r; r.kind = Kind::Float; r.real = v; return r; }
TStreamValue TStreamValue::OfString(std::string v) { TStreamValue r; r.kind = Kind::String; r.text = std::move(v); return r; }
TStreamValue TStreamValue::OfBoolean(bool v) { TStreamValue r; r.kind = Kind::Boolean; r.boolean = v; return r; }
TStreamValue TStreamValue::OfIdent(std::string v) { TStreamValue r; r.kind = Kind::Ident; r.text = std::move(v); return r; }
TStreamValue TStreamValue::OfReference(std::string v) { TStreamValue r; r.kind = Kind::Reference; r.text = std::move(v); return r; }
TStreamValue TStreamValue::OfSet(std::vector<std::string> v) { TStreamValue r; r.kind = Kind::Set; r.items = std::move(v); return r; }
TStreamValue TStreamValue::OfStringList(std::vector<std::string> v) { TStreamValue r; r.kind = Kind::StringList; r.items = std::move(v); return r; }
TStreamValue TStreamValue::OfBinary(std::vector<uint8_t> v) { TStreamValue r; r.kind = Kind::Binary; r.bytes = std::move(v); return r; }
TStreamValue TStreamValue::OfObject(std::vector<TStreamProperty> v) { TStreamValue r; r.kind = Kind::Object; r.properties = std::move(v); return r; }

std::string KindName(TStreamValue::Kind kind)
{
    switch (kind) {
    case Kind::Integer: return "an integer";
    case Kind::Float: return "a float";
    case Kind::String: return "a string";
    case Kind::Boolean: return "a boolean";
    case Kind::Ident: return "an identifier";
    case Kind::Reference: return "a component reference";
    case Kind::Set: return "a set";
    case Kind::StringList: return "a string list";
    case Kind::Binary: return "a binary value";
    case Kind::Object: return "an object";
    }
    return "a value";
}

void RequireKind(const TStreamValue& v, TStreamValue::Kind kind)
{
    if (v.kind != kind) throw Exception("expected " + KindName(kind) + ", not " + KindName(v.kind));
}

TStreamNode ParseStreamText(std::string_view text) { return TParser(text).Root(); }

std::string WriteStreamText(const TStreamNode& root)
{
    std::string out;
    int components = 0;
    WriteNode(out, root, 0, components);
    return out;
}
