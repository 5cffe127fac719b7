// The text form of a component stream (platform/streaming, no Qt): one component a block,
//
//   Name : TClass {
//     Property = value
//     Child : TOtherClass { ... }
//   }
//
// with typed values: integers (-12), floats (0.5, 1e-3: always a "." or an exponent),
// strings ("a\"b", escapes \" \\ \n \r \t \xHH), booleans (true, false), identifiers (enums,
// event handlers), references to components (@Name), sets ([fsBold, fsItalic]), string lists
// ("a", "b"), binary values as hex (<0A1B>) and nested objects ({ Name = "Arial" }).
// "#" starts a comment that runs to the end of the line. Line breaks are plain white space.
#pragma once

#include "platform/runtime/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A damaged or unreadable stream; the message names the line.
class EComponentStreamError : public EReadError {
public:
    EComponentStreamError(int line, const std::string& what)
        : EReadError("Line " + std::to_string(line) + ": " + what), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

struct TStreamProperty;

struct TStreamValue {
    enum class Kind : uint8_t { Integer, Float, String, Boolean, Ident, Reference, Set, StringList, Binary, Object };

    Kind kind = Kind::Integer;
    int64_t integer = 0;
    double real = 0;
    bool boolean = false;
    std::string text;                        // string, identifier, reference
    std::vector<std::string> items;          // set members, string list
    std::vector<uint8_t> bytes;              // binary
    std::vector<TStreamProperty> properties; // nested object
    int line = 0;

    static TStreamValue OfInteger(int64_t v);
    static TStreamValue OfFloat(double v);
    static TStreamValue OfString(std::string v);
    static TStreamValue OfBoolean(bool v);
    static TStreamValue OfIdent(std::string v);
    static TStreamValue OfReference(std::string v);
    static TStreamValue OfSet(std::vector<std::string> v);
    static TStreamValue OfStringList(std::vector<std::string> v);
    static TStreamValue OfBinary(std::vector<uint8_t> v);
    static TStreamValue OfObject(std::vector<TStreamProperty> v);
};

// "an integer", "a string", ... for messages.
std::string KindName(TStreamValue::Kind kind);
// Raises Exception("expected a boolean, not an integer") when the value is of another kind.
void RequireKind(const TStreamValue& v, TStreamValue::Kind kind);

struct TStreamProperty {
    std::string name;
    TStreamValue value;
    int line = 0;
};

struct TStreamNode {
    std::string name, className;
    std::vector<TStreamProperty> properties;
    std::vector<TStreamNode> children;
    int line = 0;
};

// Limits of what a stream may hold: components and objects nest at most kMaxStreamDepth
// deep, a stream holds at most kMaxStreamComponents components, a binary value at most
// kMaxStreamBinary bytes, a string kMaxStreamString.
constexpr int kMaxStreamDepth = 64;
constexpr int kMaxStreamComponents = 10000;
constexpr size_t kMaxStreamBinary = 16u << 20;
constexpr size_t kMaxStreamString = 1u << 20;

// Parses one component (the root) and nothing after it. Raises EComponentStreamError.
TStreamNode ParseStreamText(std::string_view text);
// The text of a component, two spaces of indent a level, ending in a line break.
std::string WriteStreamText(const TStreamNode& root);
