#include <iostream>

#include <curl/curl.h>

#include "Cli.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    curl_global_init(CURL_GLOBAL_ALL);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int code = orvenna::cli::runCli(args, std::cin, std::cout, std::cerr);
    curl_global_cleanup();
    return code;
}
