// The program's own font set-up, made before the window system reads any font.
#pragma once

namespace orvenna {

// Linux: points fontconfig at the program's fonts.conf (the system's set-up plus the face that
// stands in for "宋体"), unless FONTCONFIG_FILE already names one. Windows has the face itself:
// nothing to do there.
void useProgramFonts();

}  // namespace orvenna
