// The standard streams of a command-line program, for as long as the object lives: bytes
// carried unchanged (on Windows no "\n" becomes "\r\n", so the output is the same on both
// systems), a console that shows what is written as UTF-8, and a closed pipe that is a failed
// write rather than the end of the process.
#pragma once

namespace orvenna {

class ConsoleStreams {
public:
    ConsoleStreams();
    // Gives the console back the code page it had: it is the user's console, shared with
    // whatever runs in it next.
    ~ConsoleStreams();

    ConsoleStreams(const ConsoleStreams&) = delete;
    ConsoleStreams& operator=(const ConsoleStreams&) = delete;

private:
    unsigned int outputCodePage_ = 0;  // the console's own; 0 when there is no console
};

}  // namespace orvenna
