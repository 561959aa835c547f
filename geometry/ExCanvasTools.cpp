#include "ExCanvasTools.h"
