#include "audio/music.h"

#include "audio/backend.h"
#include "audio/gain_ramp.h"
#include "audio/music_checks.h"
#include "audio/openmpt_module.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/thread.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr unsigned OUTPUT_RATE = 44100;
constexpr unsigned FADE_POLL_MS = 30;
constexpr unsigned THREAD_STACK = 8000;

// The player's state. Every field is read and written from several threads.
std::atomic<audio::MusicHandle> currentMusic{0};
std::atomic<platform::Window*> musicWindow{nullptr};
std::atomic<unsigned> outputRate{0};
std::atomic<int> switchInProgress{0};

void music_report_error(const char* message) {
    char text[1024];
    std::snprintf(text, sizeof text, "Error(%d): %s\n", audio::errorCode(), message);
    platform::messageBox(text, "Fatal music player error!", platform::MB_ICONERROR);
    audio::deviceFree();
}

void fadeToSilence() {
    audio::slideVolume(0, audio::MUSIC_FADE_MS);
    // Real time, not the frame clock: the slide runs on the sound card's clock.
    while (audio::isSliding()) std::this_thread::sleep_for(std::chrono::milliseconds(FADE_POLL_MS));
}

void music_switch_thread(void* data) {
    switchInProgress.store(1);
    fadeToSilence();
    audio::deviceFree();
    music_reinit();
    music_play_memory(data);
    audio::releaseThreadState();
    switchInProgress.store(0);
}

} // namespace

namespace audio {

void requireBackendVersion(std::uint32_t version) {
    if (version == BACKEND_VERSION) return;
    platform::messageBox("BASS version 0.6 was not loaded!", "", platform::MB_OK);
    // Another thread may be drawing; leave without running destructors under it.
    std::fflush(nullptr);
    std::_Exit(0);
}

} // namespace audio

void music_set_window(platform::Window* window) {
    musicWindow.store(window);
}

void music_init(platform::Window* window) {
    musicWindow.store(window);
    music_reinit();
}

void music_reinit() {
    audio::requireBackendVersion(audio::backendVersion());
    outputRate.store(OUTPUT_RATE);
    if (!audio::deviceInit(-1, OUTPUT_RATE, 0, musicWindow.load()))
        music_report_error("Can't initialize device!");
    audio::deviceStart();
}

void music_play_memory(const void* data) {
    audio::MusicHandle music =
        audio::musicLoad(data, platform::resourceSizeAt(data), audio::LOAD_RAMP | audio::LOAD_LOOP);
    currentMusic.store(music);
    if (music == 0) music_report_error("Can't play the file");
    audio::musicPlay(music);
}

void music_start_switch(const void* data) {
    // Claimed here rather than on the new thread, so that two requests in quick succession
    // cannot both start a switch.
    int idle = 0;
    if (!switchInProgress.compare_exchange_strong(idle, 1)) return;
    if (!platform::startThread(music_switch_thread, const_cast<void*>(data), THREAD_STACK))
        switchInProgress.store(0);
}

int music_is_switching() {
    return switchInProgress.load();
}

void music_fade_out_thread(void* arg) {
    fadeToSilence();
    audio::deviceFree();
    audio::releaseThreadState();
    static_cast<MusicFlag*>(arg)->store(0);
}

void music_free() {
    audio::deviceFree();
}

std::uint32_t music_level() {
    return audio::channelLevel(currentMusic.load());
}

int music_is_active() {
    return audio::channelIsActive(currentMusic.load()) ? 1 : 0;
}

void music_pause(int paused) {
    audio::musicPause(currentMusic.load(), paused != 0);
}

int music_is_paused() {
    return audio::musicIsPaused(currentMusic.load()) ? 1 : 0;
}

std::uint32_t music_time_ms() {
    return audio::channelTimeMs(currentMusic.load());
}

std::int64_t music_seek(std::uint32_t ms) {
    const double reached = audio::musicSeek(currentMusic.load(), ms / 1000.0);
    return reached < 0 ? -1 : static_cast<std::int64_t>(reached * 1000.0 + 0.5);
}

void music_set_volume(double volume) {
    const double v = volume < 0 ? 0 : volume > 1 ? 1 : volume;
    audio::setListenerVolume(static_cast<std::int32_t>(v * audio::UNITY_GAIN + 0.5));
}

double music_volume() {
    return audio::listenerVolume() / static_cast<double>(audio::UNITY_GAIN);
}

std::uint32_t music_position() {
    return audio::swapPositionHalves(audio::channelPosition(currentMusic.load()));
}
