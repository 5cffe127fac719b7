#include "ProjLib.h"
