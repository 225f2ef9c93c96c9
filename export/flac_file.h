#pragma once
// FLAC files through libFLAC: a 16-bit stereo stream at 44100 Hz encoded into an open file,
// with its Vorbis comments, a front cover, a seek table every ten seconds and room for more
// tags; and tags added afterwards in that room, without writing the audio again.
#include <FLAC/stream_encoder.h>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace exporter {

using Tags = std::vector<std::pair<std::string, std::string>>; // name, UTF-8 value

struct Picture {
    std::vector<std::uint8_t> png;
    int width = 0, height = 0;
};

// Bytes of padding each file keeps for tags added later (the album's gain, a person's own).
inline constexpr unsigned PADDING_BYTES = 8192;

class FlacEncoder {
  public:
    FlacEncoder() = default;
    ~FlacEncoder();
    FlacEncoder(const FlacEncoder&) = delete;
    FlacEncoder& operator=(const FlacEncoder&) = delete;

    // Starts the stream of totalFrames frames into fd (positioned at its start; the encoder
    // seeks back to finish the header). cover may be null. False with why.
    bool start(int fd, std::uint64_t totalFrames, const Tags& tags, const Picture* cover,
               std::string& why);
    // frames interleaved stereo frames.
    bool add(const std::int16_t* samples, std::uint32_t frames, std::string& why);
    // Ends the stream and completes its header (length, checksum, seek points).
    bool finish(std::string& why);

  private:
    std::string problem() const;

    FLAC__StreamEncoder* encoder_ = nullptr;
    std::vector<FLAC__StreamMetadata*> metadata_;
    std::vector<std::int32_t> wide_;
    int fd_ = -1;
    int writeError_ = 0; // errno of the write that failed
    friend struct FlacCallbacks;
};

// Adds tags (replacing any of the same names) to the finished file at path, in its padding.
bool addFlacTags(const std::string& path, const Tags& tags, std::string& why);

} // namespace exporter
