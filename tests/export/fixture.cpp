#include "tests/export/fixture.h"

#include "audio/backend.h"
#include "export/render.h"
#include "tests/audio/modules.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <ebur128.h>
#include <fstream>
#include <gtest/gtest.h>

namespace exporttest {

std::string readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string testModule(const std::string& name) {
    const std::string bytes = readWhole(std::string(VRK_BINARY_DIR) + "/test-modules/" + name);
    EXPECT_FALSE(bytes.empty()) << name
                                << " is empty: the build could not fetch the test modules from "
                                   "Debian's mirror";
    return bytes;
}

std::vector<std::int16_t> playerOutput(const std::string& module, std::size_t frames,
                                       const std::vector<std::int16_t>& alignWith) {
    using namespace audiotest;
    DiskOutput disk(scratchFile("player"), 0);
    std::vector<std::int16_t> none;
    if (!audio::deviceInit(-1, RATE, 0, nullptr) || !audio::deviceStart()) return none;
    // As music_play_memory loads every tune of the disk.
    const audio::MusicHandle h =
        audio::musicLoad(module.data(), module.size(), audio::LOAD_RAMP | audio::LOAD_LOOP);
    const bool played = h != 0 && audio::musicPlay(h) &&
                        pollUntil([&] { return audio::channelHeardFrames(h) > frames + RATE; });
    audio::deviceFree();
    if (!played) return none;
    const std::vector<std::int16_t> out = readRawOutput(disk.path());
    const std::size_t lead = firstSoundFrame(alignWith);
    const std::size_t first = firstSoundFrame(out);
    if (first < lead || out.size() < 2 * (first - lead + frames)) return none;
    const auto from = out.begin() + 2 * static_cast<std::ptrdiff_t>(first - lead);
    return std::vector<std::int16_t>(from, from + 2 * static_cast<std::ptrdiff_t>(frames));
}

std::vector<std::int16_t> exportRender(const std::string& module, std::uint32_t listedMs) {
    exporter::TuneRender r;
    std::string why;
    EXPECT_TRUE(r.open(module.data(), module.size(), why)) << why;
    r.start(r.lengthFrames(listedMs));
    std::vector<std::int16_t> all;
    std::int16_t block[2 * exporter::BLOCK];
    for (std::uint32_t n; (n = r.next(block)) > 0;) all.insert(all.end(), block, block + 2 * n);
    return all;
}

std::string FlacFile::tag(const std::string& name) const {
    const auto it = tags.find(name);
    return it == tags.end() || it->second.empty() ? "" : it->second.front();
}

namespace {

FLAC__StreamDecoderWriteStatus onFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                       const FLAC__int32* const buffer[], void* client) {
    auto* f = static_cast<FlacFile*>(client);
    for (unsigned i = 0; i < frame->header.blocksize; ++i)
        for (unsigned c = 0; c < frame->header.channels; ++c)
            f->samples.push_back(static_cast<std::int16_t>(buffer[c][i]));
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void onMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* m, void* client) {
    auto* f = static_cast<FlacFile*>(client);
    if (m->type != FLAC__METADATA_TYPE_STREAMINFO) return;
    f->rate = m->data.stream_info.sample_rate;
    f->channels = m->data.stream_info.channels;
    f->bits = m->data.stream_info.bits_per_sample;
    f->frames = m->data.stream_info.total_samples;
}

void onError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* client) {
    static_cast<FlacFile*>(client)->ok = false;
}

void readTags(const std::string& path, FlacFile& f) {
    FLAC__StreamMetadata* tags = nullptr;
    if (FLAC__metadata_get_tags(path.c_str(), &tags)) {
        const auto& vc = tags->data.vorbis_comment;
        for (unsigned i = 0; i < vc.num_comments; ++i) {
            const std::string entry(reinterpret_cast<const char*>(vc.comments[i].entry),
                                    vc.comments[i].length);
            std::string name = entry.substr(0, entry.find('='));
            std::transform(name.begin(), name.end(), name.begin(), ::toupper);
            f.tags[name].push_back(entry.substr(entry.find('=') + 1));
        }
        FLAC__metadata_object_delete(tags);
    }
    FLAC__StreamMetadata* picture = nullptr;
    if (FLAC__metadata_get_picture(path.c_str(), &picture,
                                   FLAC__STREAM_METADATA_PICTURE_TYPE_FRONT_COVER, nullptr, nullptr,
                                   unsigned(-1), unsigned(-1), unsigned(-1), unsigned(-1))) {
        const auto& p = picture->data.picture;
        f.pictureType = p.type;
        f.pictureWidth = static_cast<int>(p.width);
        f.pictureHeight = static_cast<int>(p.height);
        f.pictureMime = p.mime_type;
        f.picture.assign(p.data, p.data + p.data_length);
        FLAC__metadata_object_delete(picture);
    }
}

} // namespace

FlacFile readFlac(const std::string& path) {
    FlacFile f;
    FLAC__StreamDecoder* d = FLAC__stream_decoder_new();
    FLAC__stream_decoder_set_md5_checking(d, true);
    f.ok = FLAC__stream_decoder_init_file(d, path.c_str(), onFrame, onMetadata, onError, &f) ==
           FLAC__STREAM_DECODER_INIT_STATUS_OK;
    f.ok = f.ok && FLAC__stream_decoder_process_until_end_of_stream(d);
    // The checksum of the whole stream agrees with what was decoded.
    f.ok = FLAC__stream_decoder_finish(d) && f.ok;
    FLAC__stream_decoder_delete(d);
    readTags(path, f);
    return f;
}

double albumLufsOf(const std::vector<const std::vector<std::int16_t>*>& programme) {
    std::vector<ebur128_state*> states;
    for (const auto* s : programme) {
        ebur128_state* st = ebur128_init(2, 44100, EBUR128_MODE_I);
        ebur128_add_frames_short(st, s->data(), s->size() / 2);
        states.push_back(st);
    }
    double l = -HUGE_VAL;
    ebur128_loudness_global_multiple(states.data(), states.size(), &l);
    for (ebur128_state*& st : states) ebur128_destroy(&st);
    return l;
}

double lufsOf(const std::vector<std::int16_t>& samples) {
    return albumLufsOf({&samples});
}

double peakOf(const std::vector<std::int16_t>& samples) {
    int most = 0;
    for (std::int16_t s : samples) most = std::max(most, std::abs(static_cast<int>(s)));
    return most / 32768.0;
}

void fadeOutEnd(std::vector<std::int16_t>& s, std::size_t frames) {
    const std::size_t first = s.size() / 2 - frames;
    for (std::size_t i = 0; i < frames; ++i) {
        const std::int64_t gain = 65536 - static_cast<std::int64_t>(65536) *
                                              static_cast<std::int64_t>(i + 1) /
                                              static_cast<std::int64_t>(frames);
        for (int c = 0; c < 2; ++c) {
            std::int16_t& v = s[2 * (first + i) + c];
            v = static_cast<std::int16_t>((v * gain + 32768) >> 16);
        }
    }
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace exporttest
