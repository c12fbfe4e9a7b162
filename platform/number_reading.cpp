#include "platform/number_reading.h"
