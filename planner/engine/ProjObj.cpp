#include "ProjObj.h"
