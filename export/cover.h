#pragma once
// The front cover of the exported files: the disk's main picture, the one its menu is drawn
// on, read from the data file as the player reads it, as a PNG.
#include "export/flac_file.h"

#include <string>

class DataArchive;

namespace exporter {

// False with why when the data file is not open or has no picture the player could show.
bool mainPictureCover(DataArchive& archive, Picture& out, std::string& why);

} // namespace exporter
