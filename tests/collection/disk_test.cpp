// Disks made from folders, collection files and single modules: which files become tunes, how
// they group and order, what the rows say, and every input that is refused or passed over.
#include "collection/disk.h"
#include "collection/measurer.h"
#include "scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using collection::Disk;
using collection::ModuleCache;
using collection::ModuleState;
using collection::openDisk;
using collection::OpenedDisk;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The shipped collection's modules, as the build made them.
std::string generated(const char* name) {
    return readFile(std::string(VRK_BINARY_DIR "/content/music/") + name);
}

using scratch::line;

// Each module measured as the player's thread would, then the table.
collection::DiskTable measuredTable(Disk& d, std::vector<std::string>& notes) {
    for (std::size_t i = 0; i < d.tunes.size(); ++i) {
        collection::FileStamp stamp;
        collection::ModuleFacts facts = collection::measureFile(d.tunes[i].path, stamp);
        collection::takeFacts(d, static_cast<int>(i), std::move(facts), notes);
    }
    return collection::layOutDisk(d);
}

std::vector<std::string> rowTexts(const collection::DiskTable& t) {
    std::vector<std::string> out;
    for (const auto& r : t.table.rows) out.push_back(r.text);
    return out;
}

int notesWith(const std::vector<std::string>& notes, const std::string& what) {
    int n = 0;
    for (const std::string& note : notes) n += note.find(what) != std::string::npos;
    return n;
}

TEST(FolderDisk, GroupsByFolderInReadingOrderWithTheModulesOwnTitles) {
    scratch::Folder f;
    f.write("Winter Songs/b10.xm", generated("jingle.xm"));
    f.write("Winter Songs/b9.mod", scratch::modFile("Nine Lives"));
    f.write("Winter Songs/sub/deep.mod", scratch::modFile(""));
    f.write("Winter Songs/after.mod", scratch::modFile("After \xC4LL"));
    f.write("Winter Songs/.hidden.mod", scratch::modFile("hidden"));
    f.write("Winter Songs/cover.jpg", "\xFF\xD8\xFF\xE0 not a module at all");
    OpenedDisk o = openDisk(f.path("Winter Songs"), ModuleCache{});
    ASSERT_TRUE(o.refusal.empty()) << o.refusal;
    EXPECT_TRUE(o.notes.empty()); // the picture has no module's name: passed over in silence
    Disk& d = o.disk;
    EXPECT_EQ(d.title, "winter songs");
    ASSERT_EQ(d.tunes.size(), 4u);
    // The folder's own files by name (numbers by value), then its subfolders.
    EXPECT_EQ(d.tunes[0].name, "after.mod");
    EXPECT_EQ(d.tunes[1].name, "b9.mod");
    EXPECT_EQ(d.tunes[2].name, "b10.xm");
    EXPECT_EQ(d.tunes[3].name, "deep.mod");
    for (const auto& t : d.tunes) EXPECT_EQ(t.facts.state, ModuleState::Pending);

    std::vector<std::string> notes;
    const collection::DiskTable t = measuredTable(d, notes);
    const std::vector<std::string> rows = rowTexts(t);
    ASSERT_GE(rows.size(), 12u);
    EXPECT_EQ(rows[2], " w i n t e r   s o n g s ");
    EXPECT_EQ(rows[5], line("winter songs")); // the root's own tunes under its name
    EXPECT_EQ(rows[6], line("after all...0'08"));
    EXPECT_EQ(rows[7], line("nine lives...0'08"));
    EXPECT_EQ(rows[8], line("jingle bells...1'52"));
    EXPECT_EQ(rows[9], std::string(25, ' '));
    EXPECT_EQ(rows[10], line("sub"));
    EXPECT_EQ(rows[11], line("deep...0'08")); // no title of its own: its file's name
    EXPECT_EQ(t.table.playList, (std::vector<int>{6, 7, 8, 11}));
    EXPECT_EQ(t.rowTune[6], 0);
    EXPECT_EQ(t.rowTune[11], 3);
    EXPECT_EQ(t.table.rows[8].duration, 112000u);
    EXPECT_TRUE(t.table.rows[5].header);
    // The made scroll texts close the table: the opening text, with the whole time once known.
    const auto& last = t.table.rows.back();
    EXPECT_EQ(last.kind, 2);
    EXPECT_NE(d.texts[d.openingText].find("4 tunes in 2 groups"), std::string::npos);
    EXPECT_NE(d.texts[d.openingText].find("2 minutes 16 seconds"), std::string::npos);
}

TEST(FolderDisk, TellsFoldersOfOneNameApartAndFoldsNames) {
    scratch::Folder f;
    f.write("a/music/one.mod", scratch::modFile("one"));
    f.write("b/music/two.mod", scratch::modFile("two"));
    f.write("b/Ñoño_Ünïcode/three.mod", scratch::modFile("three"));
    f.write("b/東京/four.mod", scratch::modFile("four"));
    OpenedDisk o = openDisk(f.root(), ModuleCache{});
    ASSERT_TRUE(o.refusal.empty());
    EXPECT_EQ(o.disk.groups,
              (std::vector<std::string>{"a - music", "b - music", "nono unicode", "untitled"}));
}

TEST(FolderDisk, PassesOverWhatIsNoModuleAndNamesWhatShouldHaveBeenOne) {
    scratch::Folder f;
    f.write("good.mod", scratch::modFile("good"));
    f.write("fake.xm", "this is a text file that only says it is a module");
    f.write("empty.it", "");
    f.write("notes.txt", "some notes");
    f.write("empty.txt", "");
    // The header says module, loading it whole says otherwise.
    f.write("packed.mod", scratch::brokenPackedModule());
    // A module past the size limit (a sparse file: the header is real, the rest is a hole).
    const std::string big = f.write("huge.mod", scratch::modFile("huge"));
    ASSERT_EQ(truncate(big.c_str(), 65 << 20), 0);
    OpenedDisk o = openDisk(f.root(), ModuleCache{});
    ASSERT_TRUE(o.refusal.empty());
    EXPECT_EQ(notesWith(o.notes, "fake.xm: skipped: not a module libopenmpt can open"), 1);
    EXPECT_EQ(notesWith(o.notes, "empty.it: skipped: the file is empty"), 1);
    EXPECT_EQ(notesWith(o.notes, "huge.mod: skipped: larger than the 64 MiB"), 1);
    EXPECT_EQ(notesWith(o.notes, ".txt"), 0);
    std::vector<std::string> notes;
    const collection::DiskTable t = measuredTable(o.disk, notes);
    int tuneRows = 0;
    for (const auto& r : t.table.rows) tuneRows += r.kind == 1;
    EXPECT_EQ(tuneRows, 1);
    EXPECT_EQ(notesWith(notes, "packed.mod: skipped: libopenmpt refuses it"), 1);
    // What the headers said is kept for the cache: the fake, the notes and the huge one are not
    // read again.
    EXPECT_EQ(o.learned.size(), 3u);
}

TEST(FolderDisk, RefusesWhatCannotBeADisk) {
    scratch::Folder f;
    f.makeFolder("nothing/here");
    f.write("nothing/readme.txt", "no modules");
    EXPECT_EQ(openDisk(f.path("nothing"), ModuleCache{}).refusal,
              "I found no module to play in '" + f.path("nothing") + "'.");
    EXPECT_EQ(openDisk(f.path("missing"), ModuleCache{}).refusal,
              "I cannot open '" + f.path("missing") + "': No such file or directory");
    f.write("picture.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    EXPECT_EQ(openDisk(f.path("picture.png"), ModuleCache{}).refusal,
              "'" + f.path("picture.png") + "' is neither a module nor a collection file.");
    EXPECT_NE(openDisk("/dev/null", ModuleCache{}).refusal.find("is not a folder, a module"),
              std::string::npos);
}

TEST(FolderDisk, HostileTreesAreWalkedToTheirEnd) {
    scratch::Folder f;
    // Names with spaces, quotes, a newline and bytes that are no UTF-8; 20 levels of folders;
    // a link that loops back; a link to nothing.
    f.write("odd/a \"quoted\" 'name'.mod", scratch::modFile("quoted"));
    f.write("odd/two\nlines.mod", scratch::modFile("newline"));
    f.write("odd/caf\xE9.mod", scratch::modFile(""));
    std::string deep = "deep";
    for (int i = 0; i < 20; ++i) deep.append("/").append(std::to_string(i));
    f.write(deep + "/bottom.mod", scratch::modFile("bottom"));
    ASSERT_EQ(symlink("..", f.path("odd/loop").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", f.path("odd/dangling.mod").c_str()), 0);
    OpenedDisk o = openDisk(f.root(), ModuleCache{});
    ASSERT_TRUE(o.refusal.empty());
    std::vector<std::string> names;
    for (const auto& t : o.disk.tunes) names.push_back(t.name);
    EXPECT_EQ(names, (std::vector<std::string>{"bottom.mod", "a \"quoted\" 'name'.mod",
                                               "caf\xE9.mod", "two\nlines.mod"}));
    std::vector<std::string> notes;
    const collection::DiskTable t = measuredTable(o.disk, notes);
    EXPECT_EQ(rowTexts(t)[5], line("19"));
    EXPECT_EQ(rowTexts(t)[10], line("cafe...0'08")); // the Latin-1 name, folded
}

// What a disk of the folder holds, opened by a user who may not read everything: as root,
// who reads every folder, the folder is opened by a child that has become nobody.
std::string openedAsAUser(const std::string& root) {
    const auto describe = [](const OpenedDisk& o) {
        std::string out = std::to_string(o.disk.tunes.size()) + " tunes";
        for (const std::string& n : o.notes) out += "\n" + n;
        return out;
    };
    if (geteuid() != 0) return describe(openDisk(root, ModuleCache{}));
    int p[2];
    if (pipe(p) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(p[0]);
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        const std::string said = describe(openDisk(root, ModuleCache{}));
        const ssize_t n = write(p[1], said.data(), said.size());
        _exit(n == static_cast<ssize_t>(said.size()) ? 0 : 3);
    }
    close(p[1]);
    std::string said;
    char buf[4096];
    for (ssize_t n; (n = read(p[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
    close(p[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? said : "the child failed";
}

TEST(FolderDisk, AnUnreadableFolderIsNamedAndTheRestPlays) {
    scratch::Folder f;
    f.write("open/one.mod", scratch::modFile("one"));
    f.write("closed/two.mod", scratch::modFile("two"));
    ASSERT_EQ(chmod(f.root().c_str(), 0755), 0);
    ASSERT_EQ(chmod(f.path("closed").c_str(), 0), 0);
    EXPECT_EQ(openedAsAUser(f.root()),
              "1 tunes\n" + f.path("closed") +
                  ": cannot read this folder (Permission denied); its modules are left out");
}

TEST(ModuleDisk, IsADiskOfOneTuneGroupedByItsFolder) {
    scratch::Folder f;
    const std::string path = f.write("My Tunes/song.xm", generated("silent.xm"));
    OpenedDisk o = openDisk(path, ModuleCache{});
    ASSERT_TRUE(o.refusal.empty());
    ASSERT_EQ(o.disk.tunes.size(), 1u);
    EXPECT_EQ(o.disk.groups, (std::vector<std::string>{"my tunes"}));
    std::vector<std::string> notes;
    EXPECT_EQ(rowTexts(measuredTable(o.disk, notes))[6], line("silent night...2'40"));
}

TEST(ManyPathsDisk, GathersEveryModuleUnderTheFolderThatHoldsIt) {
    scratch::Folder f;
    const std::string one = f.write("picked/one.mod", scratch::modFile("one"));
    const std::string two = f.write("elsewhere/two.mod", scratch::modFile("two"));
    f.write("whole/three.mod", scratch::modFile("three"));
    const std::string list = f.write("list.txt", "group g\ntune t | picked/one.mod\n");
    OpenedDisk o =
        openDisk(std::vector<std::string>{one, f.path("whole"), two, list, f.path("missing.mod")},
                 ModuleCache{});
    ASSERT_TRUE(o.refusal.empty()) << o.refusal;
    EXPECT_EQ(o.disk.title, "picked");
    EXPECT_EQ(o.disk.groups, (std::vector<std::string>{"picked", "whole", "elsewhere"}));
    ASSERT_EQ(o.disk.tunes.size(), 3u);
    EXPECT_EQ(o.disk.tunes[2].name, "two.mod");
    EXPECT_EQ(
        notesWith(o.notes, "list.txt: skipped: not a module (a collection file plays on its own)"),
        1);
    EXPECT_EQ(notesWith(o.notes, "missing.mod: skipped: cannot be opened"), 1);
}

TEST(CollectionFileDisk, TakesItsTitlesPathsAndTimesAndMeasuresTheRest) {
    scratch::Folder f;
    f.write("mods/Any Name At All.xm", generated("jingle.xm"));
    f.write("mods/second.mod", scratch::modFile("second"));
    f.write("end.mod", scratch::modFile("end"));
    const std::string file =
        f.write("lists/mine.txt", "title my list\n"
                                  "group first\n"
                                  "tune my jingle | ../mods/Any Name At All.xm | 1'50\n"
                                  "tune measured | ../mods/second.mod\n"
                                  "tune gone | ../mods/nothing.mod\n"
                                  "endtune ../mods/second.mod\n");
    OpenedDisk o = openDisk(file, ModuleCache{});
    ASSERT_TRUE(o.errors.empty()) << o.errors[0];
    ASSERT_TRUE(o.refusal.empty()) << o.refusal;
    EXPECT_EQ(notesWith(o.notes, "nothing.mod: skipped: cannot be opened"), 1);
    EXPECT_EQ(o.disk.title, "my list");
    EXPECT_EQ(o.disk.endTune, f.path("lists/../mods/second.mod"));
    std::vector<std::string> notes;
    const auto rows = rowTexts(measuredTable(o.disk, notes));
    EXPECT_EQ(rows[5], line("first"));
    EXPECT_EQ(rows[6], line("my jingle...1'50")); // the listed time wins over the measured one
    EXPECT_EQ(rows[7], line("measured...0'08"));
}

TEST(CollectionFileDisk, ErrorsNameTheFileAndLineAsTheBuildDoes) {
    scratch::Folder f;
    const std::string file = f.write("bad.txt", "title fine\ngroup Upper Case\n");
    OpenedDisk o = openDisk(file, ModuleCache{});
    ASSERT_EQ(o.errors.size(), 1u);
    EXPECT_EQ(o.errors[0], file + ":2: error: group name \"Upper Case\" has the character 'U', "
                                  "which the menu font lacks (use a-z, 0-9, space, ' - .)");
    const std::string noTunes = f.write("none.txt", "# nothing but a comment\n");
    EXPECT_NE(openDisk(noTunes, ModuleCache{})
                  .errors.at(0)
                  .find(":0: error: the collection has no tunes"),
              std::string::npos);
}

TEST(CollectionFileDisk, ShortTextsRunOnIntoTheNextOnes) {
    scratch::Folder f;
    f.write("a.mod", scratch::modFile("a"));
    const std::string file =
        f.write("c.txt", "group g\ntune a | a.mod\n"
                         "scroller first | one.txt\nscroller second | two.txt\n"
                         "text one.txt\nhello\nend\ntext two.txt\nworld\nend\n");
    OpenedDisk o = openDisk(file, ModuleCache{});
    ASSERT_TRUE(o.errors.empty());
    ASSERT_EQ(o.disk.scrollers.size(), 2u);
    const std::string& first = o.disk.texts[o.disk.scrollers[0].text];
    EXPECT_EQ(first.rfind("hello ... world ... hello", 0), 0u);
    EXPECT_GE(first.size(), collection::SHORTEST_SCROLL_TEXT);
    EXPECT_FALSE(o.disk.makesTexts);
}

TEST(DiskFacts, ABrokenTuneLeavesTheListAndTextsStayWhereTheBandPointsAtThem) {
    scratch::Folder f;
    f.write("x/one.mod", scratch::modFile("one"));
    f.write("x/two.mod", scratch::modFile("two", {"hello there, this text", "was written into the",
                                                  "sample names by its", "author, as they did"}));
    OpenedDisk o = openDisk(f.path("x"), ModuleCache{});
    Disk& d = o.disk;
    const std::string* openingBefore = &d.texts[d.openingText];
    const std::string before = *openingBefore;
    std::vector<std::string> notes;
    collection::ModuleFacts broken;
    broken.state = ModuleState::Broken;
    broken.reason = "it has nothing to play";
    EXPECT_TRUE(collection::takeFacts(d, 0, broken, notes));
    EXPECT_EQ(notes, (std::vector<std::string>{f.path("x/one.mod") +
                                               ": skipped: it has nothing to play"}));
    collection::FileStamp stamp;
    collection::takeFacts(d, 1, collection::measureFile(d.tunes[1].path, stamp), notes);
    const collection::DiskTable t = collection::layOutDisk(d);
    EXPECT_EQ(t.table.playList.size(), 1u);
    // The opening text's old form is still there, and the new one starts with all of it.
    EXPECT_EQ(*openingBefore, before);
    EXPECT_EQ(d.texts[d.openingText].rfind(before, 0), 0u);
    EXPECT_GT(d.texts[d.openingText].size(), before.size());
    ASSERT_EQ(t.rowText.back(), d.tunes[1].text);
    EXPECT_NE(d.texts[d.tunes[1].text].find(
                  "two (x, 0'08): hello there, this text was written into the sample names"),
              std::string::npos);
}

TEST(DiskCache, KnownFilesAreNotMeasuredAgainChangedOnesAre) {
    scratch::Folder f;
    const std::string a = f.write("d/a.mod", scratch::modFile("alpha"));
    const std::string b = f.write("d/b.mod", scratch::modFile("beta"));
    OpenedDisk first = openDisk(f.path("d"), ModuleCache{});
    ModuleCache cache;
    for (const auto& t : first.disk.tunes) {
        collection::FileStamp stamp;
        cache.modules[t.path] = {stamp, collection::measureFile(t.path, stamp)};
        cache.modules[t.path].stamp = stamp;
    }
    cache.modules[a].facts.title = "from the cache";
    f.write("d/b.mod", scratch::modFile("beta, longer now", {}, 2)); // changed since
    OpenedDisk second = openDisk(f.path("d"), cache);
    ASSERT_EQ(second.disk.tunes.size(), 2u);
    EXPECT_EQ(second.disk.tunes[0].facts.state, ModuleState::Measured);
    EXPECT_EQ(second.disk.tunes[0].facts.title, "from the cache");
    EXPECT_EQ(second.disk.tunes[1].facts.state, ModuleState::Pending);
    // A file the cache knows as broken is passed over without reading it.
    cache.modules[a].facts.state = ModuleState::Broken;
    cache.modules[a].facts.reason = "remembered as broken";
    EXPECT_EQ(notesWith(openDisk(f.path("d"), cache).notes, "a.mod: skipped: remembered as broken"),
              1);
}

} // namespace
