#pragma once
// Turns the loaded module into output blocks: renders it a block at a time, applies the output
// volume, and logs each block's position and levels for the queries. The module object is not
// thread-safe, so only the thread that holds the output's lock (the audio callback, or a control
// call holding the device lock) touches it; loading and freeing happen outside the callback.
#include "audio/block_log.h"
#include "audio/gain_ramp.h"

#include <atomic>
#include <cstdint>

struct openmpt_module;

namespace audio {

using MusicHandle = std::uint32_t;

// About 50 ms at 44100 Hz: quick enough to feel immediate, long enough not to click.
constexpr std::uint32_t PAUSE_FADE_FRAMES = 2205;
constexpr std::uint32_t VOLUME_FADE_FRAMES = 882; // 20 ms

class Renderer {
  public:
    explicit Renderer(unsigned rate = 44100) : rate_(rate) {}
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Control side, with the output locked. install() hands back the module it replaces (the
    // caller destroys it once the lock is released); remove() hands back the present one.
    openmpt_module* install(openmpt_module* module, MusicHandle handle);
    openmpt_module* remove();
    void play(MusicHandle handle);
    // A slide to target (16.16 gain) over frames frames, taken up at the next block.
    void requestSlide(std::int32_t target, std::uint32_t frames);
    // Pausing fades the sound out over PAUSE_FADE_FRAMES and then holds the module where it
    // is; resuming fades it back in from there. A new module starts unpaused.
    void setPaused(bool paused);
    bool paused() const { return pauseRequested_; }
    // The listener's volume (16.16 gain, unity at most), reached over VOLUME_FADE_FRAMES, or at
    // once; it stays through new modules and resets.
    void setVolume(std::int32_t gain, bool atOnce = false);
    std::int32_t volume() const { return volumeTarget_; }
    // Moves the module to a time in seconds (to the start of the row there); the time reached.
    double seek(double seconds);
    // Back to the state of a freshly opened output at rate: nothing delivered, unity gain, empty
    // log. Only while no callback runs, after the module was removed.
    void reset(unsigned rate);

    // Audio side: writes frames interleaved stereo frames.
    void fill(std::int16_t* out, std::uint32_t frames);
    std::uint64_t framesDelivered() const { return delivered_; }
    unsigned rate() const { return rate_; }

    // Published for readers on any thread.
    const BlockLog& log() const { return log_; }
    // The handle in the high 32 bits and the block its first frame went out in, in the low 32;
    // 0 until the present music has rendered anything.
    std::uint64_t musicStart() const { return musicStart_.load(std::memory_order_acquire); }
    // The handle of the music that is playing and has not come to an end, or 0.
    MusicHandle activeHandle() const { return activeHandle_.load(std::memory_order_acquire); }
    // The first frame after the last slide; INT64_MAX while a requested slide waits to start.
    std::int64_t slideEnd() const { return slideEnd_.load(std::memory_order_acquire); }

  private:
    void renderBlock();

    unsigned rate_;
    // Guarded by the output lock.
    openmpt_module* module_ = nullptr;
    MusicHandle handle_ = 0;
    bool playing_ = false;
    bool started_ = false;
    bool ended_ = false;
    bool slidePending_ = false;
    std::int32_t slideTarget_ = UNITY_GAIN;
    std::uint32_t slideFrames_ = 0;
    GainRamp ramp_;
    GainRamp pauseRamp_;
    GainRamp volumeRamp_;
    bool pauseRequested_ = false;
    bool held_ = false; // paused and faded out: the module does not move
    std::int32_t volumeTarget_ = UNITY_GAIN;
    // Audio side only (and reset() while no callback runs).
    std::int16_t block_[BLOCK_FRAMES * 2] = {};
    std::uint32_t blockUsed_ = BLOCK_FRAMES; // frames of block_ already delivered
    std::uint64_t nextBlock_ = 0;
    std::uint64_t delivered_ = 0;

    BlockLog log_;
    std::atomic<std::uint64_t> musicStart_{0};
    std::atomic<MusicHandle> activeHandle_{0};
    std::atomic<std::int64_t> slideEnd_{0};
};

} // namespace audio
