// Names of classes for messages.
#pragma once

#include <string>
#include <typeinfo>

// A class's own name as its declaration spells it ("TIcon"), without namespaces or template
// arguments.
std::string ClassNameOf(const std::type_info& type);
