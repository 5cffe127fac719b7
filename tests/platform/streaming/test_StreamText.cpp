#include "platform/streaming/StreamText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Wrap(const std::string& property) { return "A : TA {\n  " + property + "\n}\n"; }

TEST(StreamText, EveryKindOfValueReadsAndWritesBackAsItStands)
{
    const char* properties[] = {
        "I = -2147483649",
        "F = 0.5",
        "F = 1e-07",
        "F = 11.0",
        "S = \"a\\\"b\\\\c\\n\\r\\t\\x01\\x7F é\"",
        "B = true",
        "B = false",
        "E = vRpx1_0",
        "R = @DetailBand",
        "Z = [fsBold, fsItalic]",
        "Z = []",
        "L = (\n    \"one\",\n    \"two\")",
        "L = ()",
        "X = <00FF7A>",
        "X = <>",
        "O = {\n    Name = \"Arial\"\n    Inner = {\n      Size = 8\n    }\n  }",
    };
    for (const char* p : properties) {
        std::string text = Wrap(p);
        EXPECT_EQ(WriteStreamText(ParseStreamText(text)), text) << p;
    }
}

TEST(StreamText, ValuesKeepTheirKindAndContent)
{
    TStreamNode n = ParseStreamText("Root : TRoot {\n  S = \"\\x41\\n\"\n  X = <0a 1B>\n  Child : TChild {\n  }\n}\n");
    ASSERT_EQ(n.properties.size(), 2u);
    EXPECT_EQ(n.properties[0].value.kind, TStreamValue::Kind::String);
    EXPECT_EQ(n.properties[0].value.text, "A\n");
    EXPECT_EQ(n.properties[1].value.bytes, (std::vector<uint8_t>{0x0A, 0x1B}));
    ASSERT_EQ(n.children.size(), 1u);
    EXPECT_EQ(n.children[0].className, "TChild");
    EXPECT_EQ(n.children[0].line, 4);
}

TEST(StreamText, DamagedTextIsAnErrorNamingItsLine)
{
    struct Case {
        std::string text;
        int line;
        std::string what;
    };
    const Case cases[] = {
        {"", 1, "holds no component"},
        {"# only a comment\n", 2, "holds no component"},
        {"A : TA {\n  P = 1\n", 3, "ends inside component A"},
        {"A : TA {\n  P = \n}", 3, "expected a value"},
        {"A : TA {\n  P = \"open\n\"\n}", 2, "control character"},
        {"A : TA {\n  P = \"\\q\"\n}", 2, "unknown escape"},
        {"A : TA {\n  P = \"\\x4\"\n}", 2, "two hex digits"},
        {"A : TA {\n  P = 99999999999999999999\n}", 2, "out of range"},
        {"A : TA {\n  P = 1.2.3\n}", 2, "is no number"},
        {"A : TA {\n  P = 12abc\n}", 2, "runs into a name"},
        {"A : TA {\n  P = <ABC>\n}", 2, "odd number"},
        {"A : TA {\n  P = <AG>\n}", 2, "no hex digit"},
        {"A : TA {\n  P = [a, 1]\n}", 2, "set member"},
        {"A : TA {\n  P = (\"a\" \"b\")\n}", 2, "string list"},
        {"A : TA {\n  P = {\n    Q = 1\n", 4, "ends inside an object"},
        {"A TA {\n}", 1, "\":\""},
        {"A : TA {\n}\nB : TB {\n}\n", 3, "after the end"},
        {"A : TA {\n  : TB {\n  }\n}", 2, "a property or a component"},
    };
    for (const Case& c : cases) {
        try {
            ParseStreamText(c.text);
            ADD_FAILURE() << c.text;
        } catch (const EComponentStreamError& e) {
            EXPECT_EQ(e.Line(), c.line) << c.text << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << c.text << ": " << e.what();
            EXPECT_EQ(std::string(e.what()).rfind("Line " + std::to_string(c.line) + ": ", 0), 0u) << e.what();
        }
    }
}

TEST(StreamText, NestingIsBounded)
{
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "C" + std::to_string(i) + " : TC {\n";
    EXPECT_THROW(ParseStreamText(deep), EComponentStreamError);
    std::string objects = "A : TA {\n  P = ";
    for (int i = 0; i < 1000; ++i) objects += "{ Q = ";
    EXPECT_THROW(ParseStreamText(objects), EComponentStreamError);
    // Within the limit the nesting is read.
    std::string ok;
    for (int i = 0; i < kMaxStreamDepth; ++i) ok += "C" + std::to_string(i) + " : TC {\n";
    for (int i = 0; i < kMaxStreamDepth; ++i) ok += "}\n";
    EXPECT_NO_THROW(ParseStreamText(ok));
}

TEST(StreamText, TheNumberOfComponentsIsBounded)
{
    const auto stream = [](int components) {
        std::string s = "A : TA {\n";
        for (int i = 1; i < components; ++i) s += "  C" + std::to_string(i) + " : TC {\n  }\n";
        return s + "}\n";
    };
    EXPECT_EQ(ParseStreamText(stream(kMaxStreamComponents)).children.size(), size_t(kMaxStreamComponents) - 1);
    try {
        ParseStreamText(stream(kMaxStreamComponents + 1));
        ADD_FAILURE();
    } catch (const EComponentStreamError& e) {
        // The component past the limit, on its own line.
        EXPECT_EQ(e.Line(), 2 * kMaxStreamComponents) << e.what();
        EXPECT_NE(std::string(e.what()).find("more than"), std::string::npos) << e.what();
    }
}

TEST(StreamText, BinaryValuesAreBounded)
{
    std::string text = "A : TA {\n  P = <" + std::string(2 * (kMaxStreamBinary + 1), '0') + ">\n}\n";
    try {
        ParseStreamText(text);
        ADD_FAILURE();
    } catch (const EComponentStreamError& e) {
        EXPECT_NE(std::string(e.what()).find("binary value longer"), std::string::npos) << e.what();
    }
}

// The writer refuses what the reader would refuse, rather than write a stream that does not
// open again; at the limits what it writes reads back.
TEST(StreamText, WhatWouldNotReadBackIsNotWritten)
{
    const auto node = [](std::vector<TStreamProperty> props = {}) {
        TStreamNode n;
        n.name = "A";
        n.className = "TA";
        n.properties = std::move(props);
        return n;
    };
    const auto nested = [&](int depth) {
        TStreamNode root = node();
        TStreamNode* n = &root;
        for (int i = 1; i < depth; ++i) {
            n->children.push_back(node());
            n->children.back().name = "C" + std::to_string(i);
            n = &n->children.back();
        }
        return root;
    };
    const auto objects = [&](int depth) {   // a component holding objects `depth` deep in all
        TStreamValue v = TStreamValue::OfInteger(1);
        for (int i = 1; i < depth; ++i) v = TStreamValue::OfObject({{"Q", v, 0}});
        return node({{"P", v, 0}});
    };
    const auto many = [&](int components) {
        TStreamNode root = node();
        for (int i = 1; i < components; ++i) {
            root.children.push_back(node());
            root.children.back().name = "C" + std::to_string(i);
        }
        return root;
    };
    const auto text = [&](size_t n) { return node({{"S", TStreamValue::OfString(std::string(n, 'x')), 0}}); };
    const auto list = [&](size_t n) {
        return node({{"L", TStreamValue::OfStringList({"a", std::string(n, 'x')}), 0}});
    };
    struct Case {
        const char* what;
        TStreamNode atLimit, past;
    };
    const Case cases[] = {
        {"string", text(kMaxStreamString), text(kMaxStreamString + 1)},
        {"string list", list(kMaxStreamString), list(kMaxStreamString + 1)},
        {"nested components", nested(kMaxStreamDepth), nested(kMaxStreamDepth + 1)},
        {"nested objects", objects(kMaxStreamDepth), objects(kMaxStreamDepth + 1)},
        {"components", many(kMaxStreamComponents), many(kMaxStreamComponents + 1)},
    };
    for (const Case& c : cases) {
        const std::string written = WriteStreamText(c.atLimit);
        EXPECT_EQ(WriteStreamText(ParseStreamText(written)), written) << c.what;
        EXPECT_THROW(WriteStreamText(c.past), EWriteError) << c.what;
    }
    EXPECT_THROW(WriteStreamText(node({{"X", TStreamValue::OfBinary(std::vector<uint8_t>(kMaxStreamBinary + 1)), 0}})),
                 EWriteError);
}

TEST(StreamText, FloatsThatAreNoNumberAreNotWritten)
{
    TStreamNode n;
    n.name = "A";
    n.className = "TA";
    n.properties.push_back({"F", TStreamValue::OfFloat(1.0 / 0.0), 0});
    EXPECT_THROW(WriteStreamText(n), EWriteError);
}

}  // namespace
