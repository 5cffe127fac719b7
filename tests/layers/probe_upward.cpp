// Must not compile: the report engine knows nothing of the planner.
#include "platform/runtime/SysUtils.h"
#include "planner/engine/ProjObj.h"

int mw_layer_probe_upward() { return 0; }
