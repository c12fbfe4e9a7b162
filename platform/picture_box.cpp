#include "platform/picture_box.h"
