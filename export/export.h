#pragma once
// tinselwave --export DIR [PATH...]: the disk's tunes as tagged FLAC files, rendered as the
// player plays them, with the modules themselves under modules/ and a play list, written into
// DIR without a window or a sound. The built-in disk, or the one PATH makes.
#include "export/album.h"
#include "export/flac_file.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class DataArchive;
struct MenuTable;

namespace exporter {

struct ExportRequest {
    std::string folder;             // DIR as given
    std::vector<std::string> paths; // PATHs as given; none: the built-in disk
    bool force = false;             // replace files that are there already
    std::string startFolder;        // what relative DIR and PATHs are taken from
    std::string version;            // the program's, for the COMMENT tag
};

// Writes the export of the built-in disk (table) or of the request's paths, saying on
// standard error what it does and on standard output what it wrote. The exit status: 0 when
// every file was written, 1 when anything was not, 128 + the signal's number when interrupted
// (130 for Ctrl+C).
int exportDisk(const ExportRequest& request, const MenuTable& table, DataArchive& archive);

struct ExportSummary {
    int tunes = 0, modules = 0, playLists = 0; // files written of each kind
    std::uint64_t ms = 0;                      // the written tunes' playing time
    std::uint64_t bytes = 0;                   // of every file written
    std::vector<std::string> problems;         // a line for each thing not written
    bool folderRefused = false;                // DIR could not be made or written: nothing was
};

struct WriteOptions {
    bool force = false;
    const Picture* cover = nullptr; // null: no picture
    std::string version;
    const std::atomic<bool>* stop = nullptr; // set: leave off, keeping nothing half made
};

// Writes album into folder (absolute), rendering its tunes on every core; the problems the
// album already has count as not written.
ExportSummary writeAlbum(const Album& album, const std::string& folder,
                         const WriteOptions& options);

} // namespace exporter
