// Compiled as part of the program's words, which orvenna-cli links too: the window layer's
// headers must not be found.
#include "gui/Event.h"
