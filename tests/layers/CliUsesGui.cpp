// Compiled as part of the command-line program: no window header may be found.
#include "gui/Layout.h"
