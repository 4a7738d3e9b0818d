#include <iostream>

#include <curl/curl.h>

#include "Cli.h"
#include "system/Console.h"
#include "system/ConsoleStreams.h"

int main(int argc, char** argv) {
    const orvenna::ConsoleStreams streams;
    std::ios::sync_with_stdio(false);
    curl_global_init(CURL_GLOBAL_ALL);
    int code = orvenna::cli::ExitFailed;
    try {
        const std::vector<std::string> args = orvenna::utf8Arguments(argc, argv);
        code = orvenna::cli::runCli(args, std::cin, std::cout, std::cerr);
    } catch (...) {
        code = orvenna::cli::reportEscapedException(std::cerr);
    }
    curl_global_cleanup();
    // Written out while the console still reads UTF-8; the streams' own flush at exit would
    // come after the code page is given back.
    std::cout.flush();
    return code;
}
