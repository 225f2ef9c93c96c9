#include "export/render.h"

#include "audio/mod_stereo.h"
#include "player/menu_table.h"

#include <algorithm>
#include <cmath>
#include <libopenmpt/libopenmpt.h>

namespace exporter {

namespace {

// The longest time a menu row shows (999'59); a song that runs longer plays that long.
constexpr double LONGEST_SECONDS = 999 * 60 + 59;

std::string metadata(openmpt_module* m, const char* key) {
    const char* v = openmpt_module_get_metadata(m, key);
    std::string s = v ? v : "";
    openmpt_free_string(v);
    return s;
}

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
    int error = 0;
    const char* message = nullptr;
    module_ = openmpt_module_create_from_memory2(data, size, openmpt_log_func_silent, nullptr,
                                                 openmpt_error_func_ignore, nullptr, &error,
                                                 &message, nullptr);
    if (!module_) {
        why = std::string("libopenmpt refuses it (") +
              (message && *message ? message : "not a module it can open") + ")";
        openmpt_free_string(message);
        return false;
    }
    openmpt_free_string(message);
    // What the player's back-end sets when it loads a tune (audio/backend.cpp, musicLoad with
    // the loop and ramping flags): loop for ever, no dither, the format's separation, and
    // libopenmpt's own volume ramping left as it is.
    openmpt_module_set_repeat_count(module_, -1);
    openmpt_module_ctl_set_integer(module_, "dither", 0);
    applyStereoSeparation(module_);
    type_ = metadata(module_, "type");
    typeName_ = metadata(module_, "type_long");
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
    const std::uint64_t fadeFrames = std::min<std::uint64_t>(total_, FADE_MS * RATE / 1000);
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
