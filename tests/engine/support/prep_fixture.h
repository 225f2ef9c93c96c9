#pragma once
// Scenes, pictures and data files for the preparation tests: scene records made by hand with
// the scene library's own allocation, TGA files written here or by ImageMagick, and a data
// file of them that the engine reads its pictures from.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/archive.h"
#include "scene/records.h"
#include "tests/data/test_files.h"

namespace preptest {

// Data files are built by the data tests' archive writer.
using datatest::Bytes;
using datatest::Entry;

// TGA files, top row first. texel(x, y) gives 0xAARRGGBB (32 and 24 bits) or an index (8 bits).
Bytes Tga32(int w, int h, const std::function<std::uint32_t(int, int)>& texel);
Bytes Tga24(int w, int h, const std::function<std::uint32_t(int, int)>& texel);
Bytes Tga8(int w, int h, const std::vector<std::uint32_t>& palette,
           const std::function<std::uint8_t(int, int)>& index);

// A scratch folder holding a data file of the entries; the engine reads pictures from it while
// the object lives.
class PictureFile {
  public:
    explicit PictureFile(const std::vector<Entry>& entries);
    ~PictureFile();
    PictureFile(const PictureFile&) = delete;
    PictureFile& operator=(const PictureFile&) = delete;
    std::string path(const std::string& name) const { return dir + "/" + name; }

  private:
    std::string dir;
    std::unique_ptr<DataArchive> archive;
};

inline Bytes ReadFile(const std::string& path) {
    return datatest::readFile(path);
}
// Runs ImageMagick's convert with the arguments; true on success.
bool Convert(const std::string& arguments);
bool HaveConvert();

// A scene built record by record, released with everything the engine made for it.
class SceneBuilder {
  public:
    SceneBuilder();
    ~SceneBuilder();
    SceneBuilder(const SceneBuilder&) = delete;
    SceneBuilder& operator=(const SceneBuilder&) = delete;

    scene::Material* material(const std::string& name, int shading, const std::string& texture = "",
                              int flags = 0);
    // An object of `vertices` vertices and `faces` faces (vertices 0, 1, 2 each) of material m.
    scene::Object* object(const std::string& name, int vertices, int faces,
                          scene::Material* m = nullptr);
    scene::Light* light(float x, float y, float z, float rangeStart = 0, float rangeEnd = 0);
    scene::Ambient* ambient(float r, float g, float b);
    void setReflection(scene::Material* m, const std::string& file);
    void setTexture(scene::Material* m, const std::string& file);

    scene::Scene* get() const { return s; }
    int countKind(int kind) const;

  private:
    void append(int kind, void* record);
    scene::Scene* s = nullptr;
    int nextId = 0;
};

// The face sort table, then PrepareScene, as the intro prepares a scene (the preparation
// refuses a scene without its table).
int PrepareWithSortTable(scene::Scene* scene);

// Collects the engine's message log while it lives.
class MessageCapture {
  public:
    MessageCapture();
    ~MessageCapture();
    std::string text() const;
};

} // namespace preptest
