#include "PlaneGeometry.h"
