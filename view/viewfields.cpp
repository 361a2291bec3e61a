#include "viewfields.h"
