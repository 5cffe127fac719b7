// Compiles: the report engine may use the runtime layer.
#include "platform/runtime/SysUtils.h"
#include "report/DaxComponent.h"

int mw_layer_probe_allowed() { return 0; }
