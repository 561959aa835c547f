#include "Prof_1.h"
