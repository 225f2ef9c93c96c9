#include "tools/scenerender/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace scenerender {

const char* const USAGE = "usage: scenerender [--data FILE] [--scene first|second] [--size WxH] "
                          "[--frames A[..B]] [--time] SCENE OUT";

const char* const HELP =
    "Usage: scenerender [--data FILE] [--scene first|second] [--size WxH] [--frames A[..B]]\n"
    "                   [--time] SCENE OUT\n"
    "Renders frames of a 3DS scene with the Tinselwave intro's engine, as the intro plays it\n"
    "(flares and trail included), and writes each as a PNG picture.\n"
    "\n"
    "SCENE is a 3DS file on disk or an entry of the data file, which also supplies the\n"
    "textures and flare pictures. OUT names the picture for one frame; for several, each is\n"
    "written as OUT-NNNN.png with its frame number.\n"
    "\n"
    "  --data FILE        the data file (default: vrk.bin in the working folder)\n"
    "  --scene first|second\n"
    "                     prepare the scene with the intro's settings for that scene\n"
    "  --size WxH         render at another size, 32 to 4096 each way (default 320x200)\n"
    "  --frames A[..B]    the frames to write (default: the scene's first)\n"
    "  --time             print the median time of one frame\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Bad arguments give exit status 2; a scene or data file that cannot be used, 1.\n";

namespace {

// A whole decimal number within [low, high], or false.
bool number(const std::string& text, long low, long high, long* out) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const long v = std::strtol(text.c_str(), nullptr, 10);
    if (v < low || v > high) return false;
    *out = v;
    return true;
}

bool parseSize(const std::string& s, Options* o) {
    const std::size_t x = s.find('x');
    if (x == std::string::npos) return false;
    long w, h;
    // The second scene's frame needs 20 pixels each way; the limit keeps buffers sensible.
    if (!number(s.substr(0, x), 32, 4096, &w) || !number(s.substr(x + 1), 32, 4096, &h))
        return false;
    o->width = static_cast<int>(w);
    o->height = static_cast<int>(h);
    return true;
}

bool parseFrames(const std::string& s, Options* o) {
    const std::size_t dots = s.find("..");
    const std::string a = s.substr(0, dots);
    const std::string b = dots == std::string::npos ? a : s.substr(dots + 2);
    if (!number(a, 0, 99999999, &o->firstFrame) || !number(b, 0, 99999999, &o->lastFrame))
        return false;
    o->framesGiven = true;
    return o->firstFrame <= o->lastFrame;
}

} // namespace

std::string ParseOptions(int argc, char** argv, Options* o) {
    std::string positional[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue =
            arg == "--data" || arg == "--scene" || arg == "--size" || arg == "--frames";
        if (takesValue && i + 1 >= argc) return arg + " needs a value";
        if (arg == "--data") {
            o->data = argv[++i];
            o->dataGiven = true;
        } else if (arg == "--scene") {
            const std::string v = argv[++i];
            if (v != "first" && v != "second")
                return "--scene takes first or second, not '" + v + "'";
            o->secondScene = v == "second";
        } else if (arg == "--size") {
            const std::string v = argv[++i];
            if (!parseSize(v, o))
                return "--size takes WxH with each from 32 to 4096, not '" + v + "'";
        } else if (arg == "--frames") {
            const std::string v = argv[++i];
            if (!parseFrames(v, o)) return "--frames takes A or A..B with A <= B, not '" + v + "'";
        } else if (arg == "--time") {
            o->time = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option '" + arg + "'";
        } else {
            if (count == 2) return "one SCENE and one OUT only; '" + arg + "' is one too many";
            positional[count++] = arg;
        }
    }
    if (count < 2) return "SCENE and OUT are needed";
    o->sceneName = positional[0];
    o->out = positional[1];
    return {};
}

} // namespace scenerender
