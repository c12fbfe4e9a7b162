#include "animation/machine_picture.h"
