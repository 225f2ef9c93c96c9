// What an export takes from a disk: the built-in table's rows (titles, groups, times, modules)
// and a disk opened from a folder of real modules, measured whole.
#include "collection/format.h"
#include "export/album.h"
#include "platform/resources.h"
#include "collection/menu_table.h"
#include "tests/collection/scratch.h"
#include "tests/export/fixture.h"

#include <gtest/gtest.h>
#include <map>

using namespace exporttest;

namespace {

TEST(ExportAlbum, TitlesComeBackOutOfTheirRows) {
    for (const char* title : {"jingle bells", "st. nick.", "a", "the longest title here"}) {
        for (std::uint32_t ms : {112000u, 600000u, 1000u}) {
            const std::string line = collection::tuneLine(title, ms);
            if (line.size() != 25) continue;
            EXPECT_EQ(exporter::titleOfRow(line.c_str(), ms), title) << line;
        }
    }
    EXPECT_EQ(exporter::titleOfRow("        something else", 1000), "something else");
    EXPECT_EQ(exporter::titleOfRow(nullptr, 0), "");
}

// The small collection's table as the build makes it, with one of its modules left out of
// the program.
struct SmallDisk {
    collection::Collection c;
    std::vector<MenuRow> rows;
    MenuTable table{};
    static inline std::map<std::string, const unsigned char*> modules;

    static const unsigned char* load(const char* name) {
        const auto it = modules.find(name);
        return it == modules.end() ? nullptr : it->second;
    }

    SmallDisk() {
        c = collection::parseCollection(
            readWhole(std::string(VRK_SOURCE_DIR) + "/tests/collections/small.txt"));
        for (const collection::CollectionRow& r : c.rows)
            rows.push_back({r.text.c_str(), r.duration, r.header ? 1u : 0u,
                            static_cast<RowKind>(r.kind), r.resource.c_str(), nullptr});
        rows.push_back({});
        table.rows = rows.data();
        table.rowCount = static_cast<std::int32_t>(c.rows.size());
        table.playList = c.playList.data();
        table.playListLength = static_cast<std::int32_t>(c.playList.size());
        table.endTune = c.endTune.c_str();
        table.loadModule = load;
        for (const char* name :
             {"jingle.xm", "icicle.xm", "silent.xm", "blizzard.xm", "bubble.mod"})
            if (!modules.count(name))
                modules[name] = platform::holdResource(std::vector<unsigned char>(100, name[0]));
    }
};

TEST(ExportAlbum, TheBuiltInDiskInListOrderWithItsGroupsAndModules) {
    SmallDisk disk;
    const unsigned char intro[] = "intro tune bytes";
    const exporter::Album a = exporter::builtInAlbum(disk.table, intro, sizeof intro);
    EXPECT_EQ(a.title, "Tinselwave");
    EXPECT_EQ(a.date, "2026");
    EXPECT_EQ(a.trackTotal, 5);
    ASSERT_EQ(a.tracks.size(), 4u); // polar.xm is not in the program
    const char* titles[] = {"jingle bells", "icicle run", "silent night", "blizzard"};
    const char* groups[] = {"frostbyte", "frostbyte", "aurora pads", "aurora pads"};
    const int numbers[] = {1, 2, 3, 5};
    const std::uint32_t times[] = {112000, 124000, 160000, 148000};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.tracks[i].title, titles[i]);
        EXPECT_EQ(a.tracks[i].artist, groups[i]);
        EXPECT_EQ(a.tracks[i].number, numbers[i]);
        EXPECT_EQ(a.tracks[i].listedMs, times[i]);
    }
    ASSERT_EQ(a.problems.size(), 1u);
    EXPECT_EQ(a.problems[0], "04 - polar drift.flac: its module polar.xm is not built into this "
                             "program; not written");
    std::vector<std::string> names;
    for (const exporter::ModuleSource& m : a.modules) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"jingle.xm", "icicle.xm", "silent.xm", "blizzard.xm",
                                               "bubble.mod", "super.xm"}));
    EXPECT_EQ(a.modules.back().size, sizeof intro);
    EXPECT_EQ(a.modules[0].data, SmallDisk::modules["jingle.xm"]);
    EXPECT_EQ(a.modules[0].size, 100u);
    // A program without the intro's tune says so.
    EXPECT_EQ(exporter::builtInAlbum(disk.table, nullptr, 0).problems.size(), 2u);
}

// A folder of modules made by others, as a person's own collection might hold them: two
// folders, the same file name twice, a module that does not load, a picture.
TEST(ExportAlbum, AFolderOfModulesMeasuredWhole) {
    scratch::Folder f;
    const std::string xm = testModule("dali.xm"), mod = testModule("high-score.mod");
    ASSERT_FALSE(xm.empty() || mod.empty());
    f.write("mine/a/dali.xm", xm);
    f.write("mine/b/dali.xm", mod); // a MOD under another name
    f.write("mine/b/broken.mod", scratch::brokenPackedModule());
    f.write("mine/b/cover.jpg", "\xFF\xD8\xFF not a module");
    exporter::Album a;
    std::vector<std::string> notes;
    std::string why;
    ASSERT_TRUE(exporter::runTimeAlbum({f.path("mine")}, a, notes, why)) << why;
    EXPECT_EQ(a.title, "mine");
    ASSERT_EQ(a.tracks.size(), 2u);
    EXPECT_EQ(a.trackTotal, 2);
    EXPECT_EQ(a.tracks[0].artist, "a");
    EXPECT_EQ(a.tracks[1].artist, "b");
    EXPECT_EQ(a.tracks[0].number, 1);
    EXPECT_EQ(a.tracks[1].number, 2);
    EXPECT_EQ(a.tracks[0].listedMs, 0u); // measured when it is rendered
    for (const exporter::Track& t : a.tracks) EXPECT_FALSE(t.title.empty());
    ASSERT_EQ(a.modules.size(), 2u);
    EXPECT_EQ(a.modules[0].name, "dali.xm");
    EXPECT_EQ(a.modules[1].name, "dali (2).xm");
    EXPECT_EQ(a.modules[1].path, f.path("mine/b/dali.xm"));
    EXPECT_EQ(a.modules[1].stamp.size, mod.size());
    ASSERT_EQ(a.problems.size(), 1u);
    EXPECT_NE(a.problems[0].find("broken.mod: cannot be exported: "), std::string::npos)
        << a.problems[0];
    // What cannot be a disk at all is refused with the player's own words.
    EXPECT_FALSE(exporter::runTimeAlbum({f.path("nothing here")}, a, notes, why));
    EXPECT_NE(why.find("I cannot open"), std::string::npos) << why;
}

} // namespace
