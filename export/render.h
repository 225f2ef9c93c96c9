#pragma once
// A tune rendered as the player plays it: the module loaded with the player's settings
// (libopenmpt's interpolation and volume ramping, no dither, the separation of audio/mod_stereo.h,
// looping for ever), read in the player's blocks at its rate, to the tune's time, the last second
// faded out with the player's own slide (audio/gain_ramp.h) so that it ends in silence.
#include "audio/block_log.h"
#include "audio/gain_ramp.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct openmpt_module;

namespace exporter {

inline constexpr unsigned RATE = 44100;
inline constexpr std::uint32_t BLOCK = audio::BLOCK_FRAMES;

class TuneRender {
  public:
    TuneRender() = default;
    ~TuneRender();
    TuneRender(const TuneRender&) = delete;
    TuneRender& operator=(const TuneRender&) = delete;

    // Loads size bytes of module (copied); false with why when libopenmpt refuses them.
    bool open(const void* data, std::size_t size, std::string& why);
    // The format as libopenmpt names it: "xm", and "FastTracker 2" for people.
    const std::string& type() const { return type_; }
    const std::string& typeName() const { return typeName_; }

    // Frames the tune plays for: listedMs when given, else as long as the song runs once
    // (random play's time for a module whose length cannot be known).
    std::uint64_t lengthFrames(std::uint32_t listedMs) const;

    // Renders totalFrames frames from the start on the following calls.
    void start(std::uint64_t totalFrames);
    // Writes the next frames (at most BLOCK) as interleaved stereo into out, which holds
    // BLOCK frames; 0 once all are out.
    std::uint32_t next(std::int16_t* out);

  private:
    openmpt_module* module_ = nullptr;
    std::string type_, typeName_;
    std::uint64_t total_ = 0, done_ = 0, fadeStart_ = 0;
    bool fading_ = false;
    audio::GainRamp ramp_;
};

} // namespace exporter
