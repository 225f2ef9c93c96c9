#include "tests/audio/modules.h"

#include "audio/block_log.h"
#include "audio/mod_stereo.h"
#include "platform/resources.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <thread>
#include <unistd.h>

namespace audiotest {

namespace {
openmpt_module* openModule(const ModuleBytes& m) {
    openmpt_module* mod = openmpt_module_create_from_memory2(
        m.data, m.size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore, nullptr,
        nullptr, nullptr, nullptr);
    EXPECT_NE(mod, nullptr) << m.name << " does not load in libopenmpt";
    return mod;
}
} // namespace

ModuleBytes embeddedModule(const char* name) {
    ModuleBytes m;
    m.name = name;
    platform::ResourceHandle h = platform::findResource(name, "RT_RCDATA");
    m.data = platform::lockResource(h);
    m.size = platform::sizeofResource(h);
    EXPECT_GT(m.size, 0u) << name
                          << " is empty: the build could not fetch the test modules from "
                             "Debian's mirror (delete test-modules/ in the build folder and build "
                             "again with network access)";
    return m;
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::int16_t> referenceRender(const ModuleBytes& m, std::size_t frames, bool loop) {
    std::vector<std::int16_t> out(frames * 2, 0);
    openmpt_module* mod = openModule(m);
    if (!mod) return out;
    openmpt_module_set_repeat_count(mod, loop ? -1 : 0);
    openmpt_module_ctl_set_integer(mod, "dither", 0); // as the player renders
    applyStereoSeparation(mod);
    std::size_t done = 0;
    while (done < frames) {
        // In the player's block size: libopenmpt's rounding shifts by one step now and then
        // when the same music is read in pieces of other sizes.
        std::size_t n = std::min<std::size_t>(audio::BLOCK_FRAMES, frames - done);
        std::size_t got = openmpt_module_read_interleaved_stereo(mod, RATE, n, &out[2 * done]);
        if (got == 0) break;
        done += got;
    }
    openmpt_module_destroy(mod);
    return out;
}

double moduleSeconds(const ModuleBytes& m) {
    openmpt_module* mod = openModule(m);
    if (!mod) return 0;
    double s = openmpt_module_get_duration_seconds(mod);
    openmpt_module_destroy(mod);
    return s;
}

RowTime rowTime(const ModuleBytes& m, int order, int row) {
    RowTime t;
    openmpt_module* mod = openModule(m);
    if (!mod) return t;
    t.start = openmpt_module_set_position_order_row(mod, order, row);
    // One row lasts speed ticks of 2.5 / tempo seconds (the classic tempo rule).
    t.length = openmpt_module_get_current_speed(mod) * 2.5 / openmpt_module_get_current_tempo(mod);
    openmpt_module_destroy(mod);
    return t;
}

std::vector<std::int16_t> readRawOutput(const std::string& path) {
    std::vector<unsigned char> bytes = readFile(path);
    std::vector<std::int16_t> s(bytes.size() / 4 * 2);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return s;
}

std::size_t firstSoundFrame(const std::vector<std::int16_t>& s, std::size_t from) {
    for (std::size_t f = from; f < s.size() / 2; ++f)
        if (s[2 * f] != 0 || s[2 * f + 1] != 0) return f;
    return s.size() / 2;
}

std::size_t lastSoundFrame(const std::vector<std::int16_t>& s) {
    for (std::size_t f = s.size() / 2; f-- > 0;)
        if (s[2 * f] != 0 || s[2 * f + 1] != 0) return f;
    return s.size() / 2;
}

bool pollUntil(const std::function<bool()>& done, double limitSeconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

DiskOutput::DiskOutput(const std::string& path, int delayMs) : path_(path) {
    std::remove(path.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    if (delayMs >= 0)
        setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    else
        unsetenv("SDL_DISKAUDIODELAY");
}

DiskOutput::~DiskOutput() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");
    std::remove(path_.c_str());
}

std::string scratchFile(const std::string& stem) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = stem + "-" + (info ? info->name() : "x") + "-" + std::to_string(getpid());
    for (char& c : name)
        if (c == '/') c = '_';
    return name + ".raw";
}

} // namespace audiotest
