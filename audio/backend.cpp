#include "audio/backend.h"

#include "audio/heard_clock.h"
#include "audio/openmpt_module.h"
#include "audio/renderer.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <libopenmpt/libopenmpt.h>
#include <mutex>
#include <string>

namespace audio {

namespace {

// Frames per device buffer: about 23 ms, short enough for the meter and the intro's timing to
// follow the music closely, long enough not to starve on a busy machine.
constexpr Uint16 DEVICE_FRAMES = 1024;
constexpr unsigned MAX_SLIDE_MS = 60000;
// How much longer than its length a slide may take to be heard before it counts as over.
constexpr unsigned SLIDE_GRACE_MS = 2000;

// The one output of this deliverable and what plays on it.
struct Output {
    std::mutex control; // serialises the control calls
    SDL_AudioDeviceID device = 0;
    std::atomic<bool> open{false};
    std::atomic<bool> running{false};
    std::atomic<unsigned> rate{44100};
    std::int64_t latencyFrames = 0; // how far the device plays behind what it was last handed
    std::atomic<MusicHandle> loaded{0};
    MusicHandle lastHandle = 0;
    std::atomic<int> lastError{AUDIO_OK};
    // When a slide counts as over even if its end was never heard: a device that stopped
    // taking sound (unplugged, stalled) must not keep a fade waiting forever.
    std::atomic<std::int64_t> slideGiveUpNs{0};
    Renderer renderer;
    HeardClock clock;
};

Output output;

bool fail(int code) {
    output.lastError.store(code, std::memory_order_relaxed);
    return false;
}

void audioCallback(void* user, Uint8* stream, int len) {
    Output& o = *static_cast<Output*>(user);
    std::int64_t now = steadyNowNs();
    auto frames = static_cast<std::uint32_t>(len) / 4;
    auto first = static_cast<std::int64_t>(o.renderer.framesDelivered());
    o.renderer.fill(reinterpret_cast<std::int16_t*>(stream), frames);
    o.clock.publish(ClockAnchor{first - o.latencyFrames, first + frames - o.latencyFrames, now});
}

bool openWithCurrentDriver(Output& o, unsigned rate) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // The dummy and disk drivers take each buffer the moment it is handed over; a sound card
    // plays the buffer before it first. Set before the device's thread exists.
    const char* driver = SDL_GetCurrentAudioDriver();
    bool immediate =
        driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0);
    o.latencyFrames = immediate ? 0 : DEVICE_FRAMES;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(rate);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = DEVICE_FRAMES;
    want.callback = audioCallback;
    want.userdata = &o;
    // No changes allowed: the callback always gets 16-bit stereo at rate in buffers of
    // DEVICE_FRAMES, whatever SDL converts behind it.
    o.device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (o.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

std::int64_t heardNow() {
    return heardFrameAt(output.clock.read(), steadyNowNs(),
                        output.rate.load(std::memory_order_relaxed));
}

// The first block of music that was heard, or false when music is not the loaded module or has
// not started.
bool musicStartBlock(MusicHandle music, std::uint64_t& startBlock) {
    if (music == 0 || !output.open.load(std::memory_order_acquire) ||
        output.loaded.load(std::memory_order_acquire) != music)
        return false;
    std::uint64_t start = output.renderer.musicStart();
    if (static_cast<MusicHandle>(start >> 32) != music) return false;
    startBlock = start & 0xFFFFFFFFu;
    return true;
}

} // namespace

std::uint32_t backendVersionFor(std::uint32_t libraryVersion) {
    const std::uint32_t major = libraryVersion >> 24, minor = (libraryVersion >> 16) & 0xFF;
    const bool usable = major == OPENMPT_API_VERSION_MAJOR && minor >= OPENMPT_API_VERSION_MINOR;
    return usable ? BACKEND_VERSION : 0;
}

std::uint32_t backendVersion() {
    return backendVersionFor(openmpt_get_library_version());
}

int errorCode() {
    return output.lastError.load(std::memory_order_relaxed);
}

const char* errorText(int code) {
    switch (code) {
    case AUDIO_OK:
        return "no error";
    case AUDIO_ERR_NOT_INIT:
        return "the output is not initialised";
    case AUDIO_ERR_ALREADY:
        return "the output is already initialised";
    case AUDIO_ERR_DEVICE:
        return "no such output device or rate";
    case AUDIO_ERR_DRIVER:
        return "no audio driver could open the device";
    case AUDIO_ERR_NO_DATA:
        return "no module data";
    case AUDIO_ERR_FORMAT:
        return "not a playable module";
    case AUDIO_ERR_HANDLE:
        return "not the loaded music";
    default:
        return "unknown error";
    }
}

bool deviceInit(int device, unsigned rate, unsigned, platform::Window*) {
    std::lock_guard lock(output.control);
    if (output.open.load()) return fail(AUDIO_ERR_ALREADY);
    if (device != -1 || rate < 8000 || rate > 192000) return fail(AUDIO_ERR_DEVICE);
    output.rate.store(rate);
    output.renderer.reset(rate);
    output.clock.publish(ClockAnchor{0, 0, steadyNowNs()});
    if (!openWithCurrentDriver(output, rate)) {
        const char* asked = std::getenv("SDL_AUDIODRIVER");
        if (asked && *asked) return fail(AUDIO_ERR_DRIVER);
        SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
        bool ok = openWithCurrentDriver(output, rate);
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        if (!ok) return fail(AUDIO_ERR_DRIVER);
    }
    output.open.store(true, std::memory_order_release);
    output.lastError.store(AUDIO_OK);
    return true;
}

bool deviceStart() {
    std::lock_guard lock(output.control);
    if (!output.open.load()) return fail(AUDIO_ERR_NOT_INIT);
    SDL_PauseAudioDevice(output.device, 0);
    output.running.store(true, std::memory_order_release);
    return true;
}

void deviceFree() {
    std::lock_guard lock(output.control);
    if (!output.open.load()) return;
    output.open.store(false, std::memory_order_release);
    output.running.store(false, std::memory_order_release);
    output.loaded.store(0, std::memory_order_release);
    // Closing waits for the audio thread to end, so nothing renders the module below any more.
    SDL_CloseAudioDevice(output.device);
    output.device = 0;
    if (openmpt_module* old = output.renderer.remove()) openmpt_module_destroy(old);
    output.renderer.reset(output.rate.load());
    output.clock.publish(ClockAnchor{0, 0, steadyNowNs()});
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

MusicHandle musicLoad(const void* data, std::size_t size, unsigned flags) {
    std::lock_guard lock(output.control);
    if (!output.open.load()) {
        fail(AUDIO_ERR_NOT_INIT);
        return 0;
    }
    if (!data || size == 0) {
        fail(AUDIO_ERR_NO_DATA);
        return 0;
    }
    std::string why;
    openmpt_module* module = openModule(data, size, why);
    if (!module) {
        fail(AUDIO_ERR_FORMAT);
        return 0;
    }
    setUpForPlaying(module, flags & LOAD_LOOP, flags & LOAD_RAMP);

    MusicHandle handle = ++output.lastHandle;
    if (handle == 0) handle = ++output.lastHandle;
    SDL_LockAudioDevice(output.device);
    openmpt_module* old = output.renderer.install(module, handle);
    SDL_UnlockAudioDevice(output.device);
    if (old) openmpt_module_destroy(old);
    output.loaded.store(handle, std::memory_order_release);
    output.lastError.store(AUDIO_OK);
    return handle;
}

bool musicPlay(MusicHandle music) {
    std::lock_guard lock(output.control);
    if (!output.open.load()) return fail(AUDIO_ERR_NOT_INIT);
    if (music == 0 || output.loaded.load() != music) return fail(AUDIO_ERR_HANDLE);
    SDL_LockAudioDevice(output.device);
    output.renderer.play(music);
    SDL_UnlockAudioDevice(output.device);
    return true;
}

bool slideVolume(unsigned volume, unsigned ms) {
    std::lock_guard lock(output.control);
    if (!output.open.load()) return fail(AUDIO_ERR_NOT_INIT);
    if (volume > 100) volume = 100;
    ms = std::min(ms, MAX_SLIDE_MS);
    output.slideGiveUpNs.store(steadyNowNs() + (std::int64_t(ms) + SLIDE_GRACE_MS) * 1000000,
                               std::memory_order_release);
    auto target = static_cast<std::int32_t>(volume * UNITY_GAIN / 100);
    auto frames =
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms) * output.rate.load() / 1000);
    SDL_LockAudioDevice(output.device);
    output.renderer.requestSlide(target, frames);
    SDL_UnlockAudioDevice(output.device);
    return true;
}

bool isSliding() {
    // A paused output never reaches the end of a slide; only a running one can be waited for.
    if (!output.open.load(std::memory_order_acquire) ||
        !output.running.load(std::memory_order_acquire))
        return false;
    std::int64_t end = output.renderer.slideEnd();
    if (end != INT64_MAX && heardNow() >= end) return false;
    return steadyNowNs() < output.slideGiveUpNs.load(std::memory_order_acquire);
}

std::uint32_t channelLevel(MusicHandle music) {
    std::uint64_t startBlock;
    if (!musicStartBlock(music, startBlock)) return 0;
    auto heardBlock = static_cast<std::uint64_t>(heardNow()) / BLOCK_FRAMES;
    // The peak over the last few blocks (about 23 ms), as a meter shows it.
    std::uint32_t left = 0, right = 0;
    for (unsigned back = 0; back < 4 && heardBlock >= startBlock + back; ++back) {
        BlockRecord r;
        if (!output.renderer.log().read(heardBlock - back, r)) continue;
        left = std::max(left, r.levels & 0xFFFF);
        right = std::max(right, r.levels >> 16);
    }
    return left | right << 16;
}

bool channelIsActive(MusicHandle music) {
    return music != 0 && output.open.load(std::memory_order_acquire) &&
           output.loaded.load(std::memory_order_acquire) == music &&
           output.renderer.activeHandle() == music;
}

std::uint32_t channelPosition(MusicHandle music) {
    if (music == 0 || !output.open.load(std::memory_order_acquire) ||
        output.loaded.load(std::memory_order_acquire) != music)
        return 0xFFFFFFFFu;
    std::uint64_t startBlock;
    if (!musicStartBlock(music, startBlock)) return 0;
    auto heardBlock = static_cast<std::uint64_t>(heardNow()) / BLOCK_FRAMES;
    // The heard frame can sit at the very end of what was rendered; then the block before it is
    // the one that sounds.
    for (unsigned back = 0; back < 4 && heardBlock >= startBlock + back; ++back) {
        BlockRecord r;
        if (output.renderer.log().read(heardBlock - back, r)) return r.position;
    }
    return 0;
}

bool musicPause(MusicHandle music, bool paused) {
    std::lock_guard lock(output.control);
    if (!output.open.load() || music == 0 || output.loaded.load() != music)
        return fail(AUDIO_ERR_HANDLE);
    SDL_LockAudioDevice(output.device);
    output.renderer.setPaused(paused);
    SDL_UnlockAudioDevice(output.device);
    return true;
}

bool musicIsPaused(MusicHandle music) {
    std::lock_guard lock(output.control);
    if (!output.open.load() || music == 0 || output.loaded.load() != music) return false;
    SDL_LockAudioDevice(output.device);
    const bool paused = output.renderer.paused();
    SDL_UnlockAudioDevice(output.device);
    return paused;
}

double musicSeek(MusicHandle music, double seconds) {
    std::lock_guard lock(output.control);
    if (!output.open.load() || music == 0 || output.loaded.load() != music) {
        fail(AUDIO_ERR_HANDLE);
        return -1;
    }
    SDL_LockAudioDevice(output.device);
    const double reached = output.renderer.seek(seconds);
    SDL_UnlockAudioDevice(output.device);
    return reached;
}

std::uint32_t channelTimeMs(MusicHandle music) {
    std::uint64_t startBlock;
    if (!musicStartBlock(music, startBlock)) return 0;
    auto heardBlock = static_cast<std::uint64_t>(heardNow()) / BLOCK_FRAMES;
    for (unsigned back = 0; back < 4 && heardBlock >= startBlock + back; ++back) {
        BlockRecord r;
        if (output.renderer.log().read(heardBlock - back, r)) return r.timeMs;
    }
    return 0;
}

void setListenerVolume(std::int32_t gain) {
    std::lock_guard lock(output.control);
    // The renderer outlives every device; with none open it takes the volume at once.
    const bool open = output.open.load();
    if (open) SDL_LockAudioDevice(output.device);
    output.renderer.setVolume(gain, !open);
    if (open) SDL_UnlockAudioDevice(output.device);
}

std::int32_t listenerVolume() {
    std::lock_guard lock(output.control);
    return output.renderer.volume();
}

void releaseThreadState() {
    SDL_TLSCleanup();
}

std::uint64_t channelHeardFrames(MusicHandle music) {
    std::uint64_t startBlock;
    if (!musicStartBlock(music, startBlock)) return 0;
    auto heard = static_cast<std::uint64_t>(heardNow());
    std::uint64_t start = startBlock * BLOCK_FRAMES;
    return heard > start ? heard - start : 0;
}

} // namespace audio
