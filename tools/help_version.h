#pragma once
// --help and --version as command-line tools on Linux answer them: on standard output, exit
// status 0, before anything else on the line is looked at. Each tool's build defines
// VRK_VERSION.
#include <cstdio>
#include <cstring>

// -1 when neither is asked for before a "--"; otherwise the exit status after answering.
inline int answerHelpOrVersion(int argc, char** argv, const char* name, const char* help) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(help, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s (Tinselwave) %s\n", name, VRK_VERSION);
            return 0;
        }
    }
    return -1;
}
