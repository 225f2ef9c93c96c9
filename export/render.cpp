#include "export/render.h"

#include "audio/openmpt_module.h"
#include "collection/menu_table.h"

#include <algorithm>
#include <cmath>
#include <libopenmpt/libopenmpt.h>

namespace exporter {

namespace {

// The longest time a menu row shows (999'59); a song that runs longer plays that long.
constexpr double LONGEST_SECONDS = 999 * 60 + 59;

} // namespace

TuneRender::~TuneRender() {
    if (module_) openmpt_module_destroy(module_);
}

bool TuneRender::open(const void* data, std::size_t size, std::string& why) {
    if (module_) openmpt_module_destroy(module_);
    module_ = nullptr;
    if (!data || size == 0) {
        why = "the module is empty";
        return false;
    }
    module_ = audio::openModule(data, size, why);
    if (!module_) return false;
    // As the player's back-end loads a tune: looping, with libopenmpt's own volume ramping.
    audio::setUpForPlaying(module_, true, true);
    type_ = audio::moduleMetadata(module_, "type");
    typeName_ = audio::moduleMetadata(module_, "type_long");
    return true;
}

std::uint64_t TuneRender::lengthFrames(std::uint32_t listedMs) const {
    if (listedMs) return static_cast<std::uint64_t>(listedMs) * RATE / 1000;
    const double seconds = module_ ? openmpt_module_get_duration_seconds(module_) : 0;
    if (!std::isfinite(seconds) || seconds <= 0)
        return static_cast<std::uint64_t>(UNKNOWN_TUNE_MS) * RATE / 1000;
    return static_cast<std::uint64_t>(std::llround(std::min(seconds, LONGEST_SECONDS) * RATE));
}

void TuneRender::start(std::uint64_t totalFrames) {
    total_ = totalFrames;
    done_ = 0;
    const std::uint64_t fadeFrames =
        std::min<std::uint64_t>(total_, audio::MUSIC_FADE_MS * RATE / 1000);
    fadeStart_ = total_ - fadeFrames;
    fading_ = false;
    ramp_ = audio::GainRamp{};
}

std::uint32_t TuneRender::next(std::int16_t* out) {
    if (!module_ || done_ >= total_) return 0;
    // Whole blocks as the player reads them, even for the last few frames.
    const std::size_t got = openmpt_module_read_interleaved_stereo(module_, RATE, BLOCK, out);
    std::fill(out + 2 * got, out + 2 * BLOCK, std::int16_t{0});
    const auto n = static_cast<std::uint32_t>(std::min<std::uint64_t>(BLOCK, total_ - done_));
    if (done_ + n > fadeStart_) {
        std::uint32_t before = 0;
        if (!fading_) {
            before = static_cast<std::uint32_t>(fadeStart_ - done_);
            audio::startRamp(ramp_, 0, static_cast<std::uint32_t>(total_ - fadeStart_));
            fading_ = true;
        }
        audio::applyGain(ramp_, out + 2 * before, n - before);
    }
    done_ += n;
    return n;
}

} // namespace exporter
