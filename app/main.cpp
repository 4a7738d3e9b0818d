// The process entry of the desktop program.
#include "OrvennaApp.h"

#ifdef _WIN32
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return orvenna::runProgram(__argc, __argv);
}
#else
int main(int argc, char** argv) {
    return orvenna::runProgram(argc, argv);
}
#endif
