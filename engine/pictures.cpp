#include "engine/pictures.h"

#include <new>

#include "data/tga.h"

namespace engine {

namespace {
DataArchive* pictureArchive = nullptr;
}

void SetPictureArchive(DataArchive* archive) {
    pictureArchive = archive;
}

DataArchive& PictureArchive() {
    return pictureArchive ? *pictureArchive : dataArchive;
}

SurfaceHandle LoadPicture(const char* path) {
    if (!path) return nullptr;
    try {
        // The archive looks entries up by file name alone; handing it only that keeps a
        // folder and a full 8.3 name within the entry handle's 19 characters.
        return SurfaceHandle(loadImage(PictureArchive(), archiveLookupName(path)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

SurfaceHandle ConvertToArgb(const PtcSurface* surface) {
    if (!surface) return nullptr;
    try {
        return SurfaceHandle(ptc_surface_convert(surface, PTC_FORMAT_ARGB8888));
    } catch (const PtcError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

SurfaceHandle CreateSurface(int width, int height, int formatCode) {
    try {
        const PtcFormat format = ptc_format_named(formatCode);
        return SurfaceHandle(ptc_surface_create(width, height, &format));
    } catch (const PtcError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace engine
