#include "audio/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <libopenmpt/libopenmpt.h>

namespace audio {

openmpt_module* Renderer::install(openmpt_module* module, MusicHandle handle) {
    openmpt_module* old = module_;
    module_ = module;
    handle_ = handle;
    playing_ = false;
    started_ = false;
    ended_ = false;
    pauseRequested_ = false;
    held_ = false;
    pauseRamp_ = GainRamp{};
    activeHandle_.store(0, std::memory_order_release);
    musicStart_.store(0, std::memory_order_release);
    return old;
}

openmpt_module* Renderer::remove() {
    return install(nullptr, 0);
}

void Renderer::play(MusicHandle handle) {
    if (!module_ || handle != handle_) return;
    playing_ = true;
    if (!ended_) activeHandle_.store(handle, std::memory_order_release);
}

void Renderer::requestSlide(std::int32_t target, std::uint32_t frames) {
    slidePending_ = true;
    slideTarget_ = target;
    slideFrames_ = frames;
    slideEnd_.store(INT64_MAX, std::memory_order_release);
}

void Renderer::setPaused(bool paused) {
    if (!module_ || paused == pauseRequested_) return;
    pauseRequested_ = paused;
    if (!paused) held_ = false;
    startRamp(pauseRamp_, paused ? 0 : UNITY_GAIN, PAUSE_FADE_FRAMES);
}

void Renderer::setVolume(std::int32_t gain, bool atOnce) {
    volumeTarget_ = std::clamp(gain, 0, UNITY_GAIN);
    startRamp(volumeRamp_, volumeTarget_, atOnce ? 0 : VOLUME_FADE_FRAMES);
}

double Renderer::seek(double seconds) {
    if (!module_) return 0;
    return openmpt_module_set_position_seconds(module_, std::max(seconds, 0.0));
}

void Renderer::reset(unsigned rate) {
    install(nullptr, 0);
    rate_ = rate;
    slidePending_ = false;
    ramp_ = GainRamp{};
    blockUsed_ = BLOCK_FRAMES;
    nextBlock_ = 0;
    delivered_ = 0;
    log_.clear();
    slideEnd_.store(0, std::memory_order_release);
}

void Renderer::fill(std::int16_t* out, std::uint32_t frames) {
    while (frames > 0) {
        if (blockUsed_ == BLOCK_FRAMES) renderBlock();
        std::uint32_t n = std::min(frames, BLOCK_FRAMES - blockUsed_);
        std::memcpy(out, block_ + 2 * blockUsed_, n * 2 * sizeof(std::int16_t));
        out += 2 * n;
        frames -= n;
        blockUsed_ += n;
        delivered_ += n;
    }
}

void Renderer::renderBlock() {
    std::uint64_t block = nextBlock_++;
    blockUsed_ = 0;
    if (slidePending_) {
        slidePending_ = false;
        startRamp(ramp_, slideTarget_, slideFrames_);
        slideEnd_.store(static_cast<std::int64_t>(block * BLOCK_FRAMES + slideFrames_),
                        std::memory_order_release);
    }

    BlockRecord record;
    std::size_t got = 0;
    if (module_ && playing_ && !ended_) {
        if (!started_) {
            started_ = true;
            musicStart_.store(static_cast<std::uint64_t>(handle_) << 32 |
                                  static_cast<std::uint32_t>(block),
                              std::memory_order_release);
        }
        std::uint32_t order = static_cast<std::uint32_t>(openmpt_module_get_current_order(module_));
        std::uint32_t row = static_cast<std::uint32_t>(openmpt_module_get_current_row(module_));
        record.position = (order & 0xFFFF) | (row & 0xFFFF) << 16;
        record.timeMs = static_cast<std::uint32_t>(
            std::max(openmpt_module_get_position_seconds(module_), 0.0) * 1000.0 + 0.5);
        if (!held_) {
            got = openmpt_module_read_interleaved_stereo(module_, static_cast<std::int32_t>(rate_),
                                                         BLOCK_FRAMES, block_);
            if (got == 0) {
                // Only a module with nothing to play ends while it loops.
                ended_ = true;
                activeHandle_.store(0, std::memory_order_release);
            }
        }
    }
    std::memset(block_ + 2 * got, 0, (BLOCK_FRAMES - got) * 2 * sizeof(std::int16_t));
    applyGain(ramp_, block_, BLOCK_FRAMES);
    applyGain(pauseRamp_, block_, BLOCK_FRAMES);
    applyGain(volumeRamp_, block_, BLOCK_FRAMES);
    // Faded out to nothing: from the next block on the module waits where it is.
    if (pauseRequested_ && pauseRamp_.length == 0) held_ = true;
    record.levels = peakLevels(block_, BLOCK_FRAMES);
    log_.write(block, record);
}

} // namespace audio
