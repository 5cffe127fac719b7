// Compiled into every program that links the planner's windows: it names the page units so
// the linker keeps them, and with them the registration of their form classes for the
// wizard's notebook.
#include "planner/ui/unit2.h"
#include "planner/ui/unit3.h"

namespace {
[[gnu::used]] TForm* (*const mw_page_units[])(QWidget*) = {
    [](QWidget* owner) -> TForm* { return new Tfrm2(owner); },
    [](QWidget* owner) -> TForm* { return new Tfrm3(owner); },
};
}  // namespace
