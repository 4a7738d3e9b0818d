// Compiled as part of the update without its window: the window's own headers must not be found,
// though they sit in a subfolder of the update's.
#include "update/window/UpdateWin.h"
