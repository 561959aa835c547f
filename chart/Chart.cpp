#include "Chart.h"
