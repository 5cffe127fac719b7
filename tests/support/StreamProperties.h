// A component's stream properties without a component tree: what a property table writes,
// as the text of one component, and that text read back through the table.
#pragma once

#include "platform/streaming/ComponentStream.h"

#include <string>

template <class Define>
std::string WriteProperties(Define define)
{
    TFiler filer;
    define(filer);
    TStreamNode node{.name = "C", .className = "TC", .properties = {}, .children = {}, .line = 0};
    for (const TFiler::TDef& d : filer.Defs())
        if (auto v = d.write()) node.properties.push_back({d.name, std::move(*v), 0});
    return WriteStreamText(node);
}

// Only for properties that need no reader state (no references, events or nested objects).
template <class Define>
void ReadProperties(Define define, const std::string& text)
{
    TFiler filer;
    define(filer);
    for (const TStreamProperty& p : ParseStreamText(text).properties)
        for (const TFiler::TDef& d : filer.Defs())
            if (d.name == p.name) d.read(p.value);
}
