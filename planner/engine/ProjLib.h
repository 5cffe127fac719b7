#pragma once
#include "ProjObj.h"
