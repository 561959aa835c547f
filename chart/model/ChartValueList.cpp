#include "ChartValueList.h"
