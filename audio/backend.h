#pragma once
// The output back-end the music wrapper plays through: one output device at 44100 Hz stereo, one
// module at a time loaded from memory, a volume slide to silence, and the level, activity and
// position of what is being heard. Modules are decoded by libopenmpt in the audio callback and
// played through SDL audio; with SDL's dummy or disk driver everything runs the same, without a
// sound card.
//
// Control calls may come from several threads at once; they are serialised inside. The queries
// (level, activity, position, sliding) take no lock and never wait for the audio callback.
#include <cstddef>
#include <cstdint>

namespace platform {
struct Window;
}

namespace audio {

using MusicHandle = std::uint32_t;

// The interface version this back-end offers; the wrapper refuses to run on any other. The
// back-end offers it only on a libopenmpt that can do what this build was made against: the
// same major version and no older minor (a newer one keeps the interface).
constexpr std::uint32_t BACKEND_VERSION = 0x60000;
std::uint32_t backendVersion();
// The version offered on a libopenmpt of libraryVersion (major << 24 | minor << 16 | patch):
// BACKEND_VERSION, or 0 when that library is not one this build can use.
std::uint32_t backendVersionFor(std::uint32_t libraryVersion);

// Load flags. Ramping softens volume changes inside the module; a looping module starts over at
// its end, forever.
enum : unsigned { LOAD_RAMP = 1, LOAD_LOOP = 4 };

// Failure codes, as errorCode() reports the last one.
enum : int {
    AUDIO_OK = 0,
    AUDIO_ERR_NOT_INIT = 1, // no output device is open
    AUDIO_ERR_ALREADY = 2,  // the output device is open already
    AUDIO_ERR_DEVICE = 3,   // no such device, or an unusable rate
    AUDIO_ERR_DRIVER = 4,   // no audio driver would open the device
    AUDIO_ERR_NO_DATA = 5,  // no module data (a null pointer or a length of 0)
    AUDIO_ERR_FORMAT = 6,   // the data is not a module that can be played
    AUDIO_ERR_HANDLE = 7,   // not the handle of the loaded module
};
int errorCode();
const char* errorText(int code);

// Opens the device (-1: the default one) at rate frames a second, 16-bit stereo. When no sound
// card answers and no driver was asked for by name (SDL_AUDIODRIVER), the output runs on SDL's
// dummy driver, silent but keeping time. The window is accepted for the caller's sake; the output
// does not depend on it. The device starts paused.
bool deviceInit(int device, unsigned rate, unsigned flags, platform::Window* window);
bool deviceStart();
// Closes the device and releases the module. Harmless when nothing is open, and twice.
void deviceFree();

// Loads a module from size bytes at data (copied; the bytes may go afterwards), replacing any
// module loaded before. 0 on failure.
MusicHandle musicLoad(const void* data, std::size_t size, unsigned flags);
bool musicPlay(MusicHandle music);

// Slides the output volume to volume percent over ms milliseconds (at most a minute), in a
// straight line without a step. isSliding() is true until the end of the slide is heard, or
// until 2 s after it should have been when the device stopped taking sound; false when no
// device runs.
bool slideVolume(unsigned volume, unsigned ms);
bool isSliding();

// The peak levels heard now, 0..128 each: left in the low 16 bits, right in the high 16 bits;
// 0 when music is not the loaded module.
std::uint32_t channelLevel(MusicHandle music);
// True while music is loaded, playing and not at its end (a looping module never is).
bool channelIsActive(MusicHandle music);
// The order (low 16 bits) and row (high 16 bits) heard now; 0 before the module's first frame is
// heard, 0xFFFFFFFF when music is not the loaded module.
std::uint32_t channelPosition(MusicHandle music);
// Frames of music heard so far: the clock that position and levels answer for.
std::uint64_t channelHeardFrames(MusicHandle music);

// Pauses the loaded module (its sound fades out in about 50 ms and it holds its place) or
// resumes it (fading back in from there). False when music is not the loaded module.
bool musicPause(MusicHandle music, bool paused);
bool musicIsPaused(MusicHandle music);
// Moves the loaded module to a time in seconds; the time it reached (the start of the row
// there), or -1 when music is not the loaded module.
double musicSeek(MusicHandle music, double seconds);
// The song's time heard now, in milliseconds; 0 when music is not the loaded module.
std::uint32_t channelTimeMs(MusicHandle music);

// The listener's volume, 0 (silent) .. 65536 (as the module is), 16.16; it holds for every
// module played after it too, and changes without a click.
void setListenerVolume(std::int32_t gain);
std::int32_t listenerVolume();

// Releases what the audio library keeps for the calling thread. Threads that call into the
// back-end and then end (the player's switch and fade-out threads) call it last.
void releaseThreadState();

} // namespace audio
