#include "platform/spin_edit.h"
