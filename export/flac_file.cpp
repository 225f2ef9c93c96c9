#include "export/flac_file.h"

#include "export/render.h"

#include <FLAC/metadata.h>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace exporter {

namespace {

// libFLAC's own default; the stronger levels take about twice the time for 1-2 % less.
constexpr unsigned COMPRESSION_LEVEL = 5;
constexpr unsigned SEEK_POINT_SECONDS = 10;

FLAC__StreamMetadata* commentBlock(const Tags& tags) {
    FLAC__StreamMetadata* block = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    for (const auto& [name, value] : tags) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (!block ||
            !FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.c_str(),
                                                                            value.c_str()) ||
            !FLAC__metadata_object_vorbiscomment_append_comment(block, entry, false)) {
            if (block) FLAC__metadata_object_delete(block);
            return nullptr;
        }
    }
    return block;
}

FLAC__StreamMetadata* pictureBlock(const Picture& p) {
    FLAC__StreamMetadata* block = FLAC__metadata_object_new(FLAC__METADATA_TYPE_PICTURE);
    if (!block) return nullptr;
    block->data.picture.type = FLAC__STREAM_METADATA_PICTURE_TYPE_FRONT_COVER;
    block->data.picture.width = static_cast<FLAC__uint32>(p.width);
    block->data.picture.height = static_cast<FLAC__uint32>(p.height);
    block->data.picture.depth = 24;
    block->data.picture.colors = 0;
    char mime[] = "image/png";
    FLAC__byte description[] = "";
    const char* violation = nullptr;
    if (!FLAC__metadata_object_picture_set_mime_type(block, mime, true) ||
        !FLAC__metadata_object_picture_set_description(block, description, true) ||
        !FLAC__metadata_object_picture_set_data(block, const_cast<FLAC__byte*>(p.png.data()),
                                                static_cast<FLAC__uint32>(p.png.size()), true) ||
        !FLAC__metadata_object_picture_is_legal(block, &violation)) {
        FLAC__metadata_object_delete(block);
        return nullptr;
    }
    return block;
}

FLAC__StreamMetadata* seekBlock(std::uint64_t totalFrames) {
    FLAC__StreamMetadata* block = FLAC__metadata_object_new(FLAC__METADATA_TYPE_SEEKTABLE);
    if (block && totalFrames > 0 &&
        (!FLAC__metadata_object_seektable_template_append_spaced_points_by_samples(
             block, SEEK_POINT_SECONDS * RATE, totalFrames) ||
         !FLAC__metadata_object_seektable_template_sort(block, true))) {
        FLAC__metadata_object_delete(block);
        return nullptr;
    }
    return block;
}

} // namespace

// The encoder's ends of the stream: plain writes and seeks on the file, every failure's errno
// kept for the line that reports it.
struct FlacCallbacks {
    static FLAC__StreamEncoderWriteStatus write(const FLAC__StreamEncoder*,
                                                const FLAC__byte buffer[], size_t bytes, uint32_t,
                                                uint32_t, void* client) {
        auto* self = static_cast<FlacEncoder*>(client);
        while (bytes > 0) {
            const ssize_t n = ::write(self->fd_, buffer, bytes);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                self->writeError_ = n < 0 ? errno : ENOSPC;
                return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
            }
            buffer += n;
            bytes -= static_cast<size_t>(n);
        }
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    }
    static FLAC__StreamEncoderSeekStatus seek(const FLAC__StreamEncoder*, FLAC__uint64 offset,
                                              void* client) {
        auto* self = static_cast<FlacEncoder*>(client);
        if (lseek(self->fd_, static_cast<off_t>(offset), SEEK_SET) >= 0)
            return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
        self->writeError_ = errno;
        return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    }
    static FLAC__StreamEncoderTellStatus tell(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                              void* client) {
        const off_t at = lseek(static_cast<FlacEncoder*>(client)->fd_, 0, SEEK_CUR);
        if (at < 0) return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
        *offset = static_cast<FLAC__uint64>(at);
        return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
    }
};

FlacEncoder::~FlacEncoder() {
    if (encoder_) FLAC__stream_encoder_delete(encoder_);
    for (FLAC__StreamMetadata* m : metadata_)
        if (m) FLAC__metadata_object_delete(m);
}

std::string FlacEncoder::problem() const {
    if (writeError_) return std::strerror(writeError_);
    if (!encoder_) return "the encoder could not be made";
    return FLAC__StreamEncoderStateString[FLAC__stream_encoder_get_state(encoder_)];
}

bool FlacEncoder::start(int fd, std::uint64_t totalFrames, const Tags& tags, const Picture* cover,
                        std::string& why) {
    fd_ = fd;
    encoder_ = FLAC__stream_encoder_new();
    metadata_.push_back(commentBlock(tags));
    if (cover && !cover->png.empty()) metadata_.push_back(pictureBlock(*cover));
    metadata_.push_back(seekBlock(totalFrames));
    metadata_.push_back(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING));
    for (FLAC__StreamMetadata* m : metadata_)
        if (!m) return why = "the file's tags could not be made", false;
    metadata_.back()->length = PADDING_BYTES;
    FLAC__StreamEncoder* e = encoder_;
    const bool set = e && FLAC__stream_encoder_set_channels(e, 2) &&
                     FLAC__stream_encoder_set_bits_per_sample(e, 16) &&
                     FLAC__stream_encoder_set_sample_rate(e, RATE) &&
                     FLAC__stream_encoder_set_compression_level(e, COMPRESSION_LEVEL) &&
                     FLAC__stream_encoder_set_total_samples_estimate(e, totalFrames) &&
                     FLAC__stream_encoder_set_metadata(e, metadata_.data(),
                                                       static_cast<unsigned>(metadata_.size()));
    if (!set) return why = problem(), false;
    const FLAC__StreamEncoderInitStatus init = FLAC__stream_encoder_init_stream(
        e, FlacCallbacks::write, FlacCallbacks::seek, FlacCallbacks::tell, nullptr, this);
    if (init != FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        why = init == FLAC__STREAM_ENCODER_INIT_STATUS_ENCODER_ERROR
                  ? problem()
                  : FLAC__StreamEncoderInitStatusString[init];
        return false;
    }
    return true;
}

bool FlacEncoder::add(const std::int16_t* samples, std::uint32_t frames, std::string& why) {
    wide_.assign(samples, samples + 2 * static_cast<std::size_t>(frames));
    if (FLAC__stream_encoder_process_interleaved(encoder_, wide_.data(), frames)) return true;
    why = problem();
    return false;
}

bool FlacEncoder::finish(std::string& why) {
    if (FLAC__stream_encoder_finish(encoder_)) return true;
    why = problem();
    return false;
}

bool addFlacTags(const std::string& path, const Tags& tags, std::string& why) {
    FLAC__Metadata_Chain* chain = FLAC__metadata_chain_new();
    if (!chain || !FLAC__metadata_chain_read(chain, path.c_str())) {
        why = chain ? FLAC__Metadata_ChainStatusString[FLAC__metadata_chain_status(chain)]
                    : "out of memory";
        if (chain) FLAC__metadata_chain_delete(chain);
        return false;
    }
    FLAC__Metadata_Iterator* it = FLAC__metadata_iterator_new();
    FLAC__StreamMetadata* comments = nullptr;
    if (it) {
        FLAC__metadata_iterator_init(it, chain);
        do {
            if (FLAC__metadata_iterator_get_block_type(it) == FLAC__METADATA_TYPE_VORBIS_COMMENT)
                comments = FLAC__metadata_iterator_get_block(it);
        } while (!comments && FLAC__metadata_iterator_next(it));
        FLAC__metadata_iterator_delete(it);
    }
    bool ok = comments != nullptr;
    for (const auto& [name, value] : tags) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        ok = ok &&
             FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.c_str(),
                                                                            value.c_str()) &&
             FLAC__metadata_object_vorbiscomment_replace_comment(comments, entry, true, false);
    }
    // With the padding used, the blocks are rewritten in place and the audio is not touched.
    ok = ok && FLAC__metadata_chain_write(chain, true, false);
    if (!ok)
        why = comments ? FLAC__Metadata_ChainStatusString[FLAC__metadata_chain_status(chain)]
                       : "the file has no Vorbis comment";
    FLAC__metadata_chain_delete(chain);
    return ok;
}

} // namespace exporter
