// Compiled as part of the update without its window: the window layer's headers must not be found.
#include "gui/BackgroundTask.h"
