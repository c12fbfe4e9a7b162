#include "platform/error_box.h"
