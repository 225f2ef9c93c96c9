// The player's options.
#include "player/command_line.h"

#include <cstring>

CommandLine parse_command_line(int argc, const char* const* argv) {
    CommandLine c;
    bool options = true; // until "--"
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (options && std::strcmp(a, "--") == 0) {
            options = false;
        } else if (options && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)) {
            c.help = true;
        } else if (options && std::strcmp(a, "--version") == 0) {
            c.version = true;
        } else if (options && std::strcmp(a, "--no-intro") == 0) {
            c.noIntro = true;
        } else if (options && std::strcmp(a, "--list") == 0) {
            c.list = true;
        } else if (options && std::strcmp(a, "--export") == 0) {
            if (i + 1 < argc && argv[i + 1][0] != '\0')
                c.exportFolder = argv[++i];
            else
                c.error = "--export needs a folder";
        } else if (options && std::strncmp(a, "--export=", 9) == 0) {
            c.exportFolder = a + 9;
            if (c.exportFolder.empty()) c.error = "--export needs a folder";
        } else if (options && std::strcmp(a, "--force") == 0) {
            c.force = true;
        } else if (options && a[0] == '-' && a[1] != '\0') {
            c.error = std::string("unknown option '") + a + "'";
        } else {
            c.paths.emplace_back(a);
        }
    }
    if (!c.error.empty()) return c;
    if (c.list && c.paths.empty()) c.error = "--list needs a PATH";
    if (c.list && !c.exportFolder.empty()) c.error = "--list and --export go one at a time";
    if (c.force && c.exportFolder.empty()) c.error = "--force goes with --export";
    return c;
}

const char* usage_text() {
    return "Usage: tinselwave [--no-intro] [PATH...]\n"
           "       tinselwave --list PATH...\n"
           "       tinselwave --export DIR [--force] [PATH...]\n"
           "Plays the Tinselwave music disk: a 3D intro in time with its tune, then tracker\n"
           "tunes in a scrolling menu with a scroll-text band, a level meter and an aurora.\n"
           "\n"
           "PATH puts your own modules in the menu instead of the disk's: a folder (every\n"
           "module under it, a group for each folder), a collection file (see the manual\n"
           "page), or a single module file; several folders and modules make one disk.\n"
           "MOD, XM, S3M, IT, MPTM, STM, 669, MTM and every other format libopenmpt reads\n"
           "are played.\n"
           "\n"
           "  --no-intro  start with the menu\n"
           "  --list      print the menu PATH makes, with every module measured, and exit\n"
           "  --export DIR\n"
           "              write the disk's tunes (or PATH's) into DIR and exit, without a\n"
           "              window or a sound: each as 'NN - title.flac', rendered as the disk\n"
           "              plays it to its listed time and faded out over its last second,\n"
           "              tagged (title, group as artist, album, numbers, ReplayGain) with the\n"
           "              disk's picture as its cover; the modules themselves, byte for byte,\n"
           "              under DIR/modules (the intro's tune among them); and a play list.\n"
           "              Files that are there already are left alone. Exit status 1 when\n"
           "              anything was not written\n"
           "  --force     let --export replace files that are there already\n"
           "  --help      show this help and exit\n"
           "  --version   show the version and exit\n"
           "\n"
           "In the menu: arrow keys, wheel or mouse move the list, Page Up and Page Down,\n"
           "Home and End take bigger steps; Enter, Space or a click plays the tune under the\n"
           "cursor; L random play; Q level meter; Left and Right make the scroll text faster\n"
           "or slower; Alt+Enter window or full screen; Escape leaves.\n";
}
