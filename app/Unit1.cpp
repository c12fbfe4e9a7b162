#include "app/Unit1.h"
