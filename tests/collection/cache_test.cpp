// The module cache's file: what goes in comes out, and a file that cannot be trusted is none.
#include "collection/cache.h"
#include "scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace {

using collection::ModuleCache;
using collection::ModuleState;

ModuleCache sample() {
    ModuleCache c;
    auto& a = c.modules["/music/a.xm"];
    a.stamp = {12345, 1700000000123456789};
    a.facts.state = ModuleState::Measured;
    a.facts.durationMs = 112000;
    a.facts.title = "Jingle Bëlls";
    a.facts.artist = "someone";
    a.facts.type = "xm";
    a.facts.text = std::string("line one\nline two\0with a zero", 29);
    auto& b = c.modules["/music/b.mod"];
    b.stamp = {7, -1};
    b.facts.state = ModuleState::Broken;
    b.facts.reason = "libopenmpt refuses it";
    c.modules["/music/c.jpg"].facts.state = ModuleState::NotModule;
    return c;
}

void expectSame(const ModuleCache& x, const ModuleCache& y) {
    ASSERT_EQ(x.modules.size(), y.modules.size());
    for (const auto& [path, m] : x.modules) {
        const auto it = y.modules.find(path);
        ASSERT_NE(it, y.modules.end()) << path;
        EXPECT_EQ(it->second.stamp, m.stamp) << path;
        EXPECT_EQ(it->second.facts.state, m.facts.state);
        EXPECT_EQ(it->second.facts.durationMs, m.facts.durationMs);
        EXPECT_EQ(it->second.facts.title, m.facts.title);
        EXPECT_EQ(it->second.facts.artist, m.facts.artist);
        EXPECT_EQ(it->second.facts.type, m.facts.type);
        EXPECT_EQ(it->second.facts.text, m.facts.text);
        EXPECT_EQ(it->second.facts.reason, m.facts.reason);
    }
}

TEST(ModuleCacheFile, WhatIsWrittenIsReadBackAndFoundOnlyForTheSameFile) {
    const ModuleCache c = sample();
    ModuleCache back;
    ASSERT_TRUE(collection::decodeModuleCache(collection::encodeModuleCache(c), back));
    expectSame(c, back);
    EXPECT_NE(back.find("/music/a.xm", {12345, 1700000000123456789}), nullptr);
    EXPECT_EQ(back.find("/music/a.xm", {12346, 1700000000123456789}), nullptr); // size differs
    EXPECT_EQ(back.find("/music/a.xm", {12345, 1700000000123456788}), nullptr); // time differs
    EXPECT_EQ(back.find("/music/z.xm", {12345, 1700000000123456789}), nullptr);
}

TEST(ModuleCacheFile, DamagedCutOrForeignBytesAreNoCache) {
    const std::string good = collection::encodeModuleCache(sample());
    ModuleCache out;
    // Every single flipped byte and every cut is noticed, and nothing is half taken.
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::string bad = good;
        bad[i] = static_cast<char>(bad[i] ^ 0x20);
        EXPECT_FALSE(collection::decodeModuleCache(bad, out)) << i;
        EXPECT_TRUE(out.modules.empty());
        EXPECT_FALSE(collection::decodeModuleCache(good.substr(0, i), out)) << i;
        EXPECT_TRUE(out.modules.empty());
    }
    EXPECT_FALSE(collection::decodeModuleCache("", out));
    EXPECT_FALSE(collection::decodeModuleCache(std::string(1000, '\0'), out));
}

TEST(ModuleCacheFile, IsReplacedWholeAndAnUnwritablePlaceIsNoHarm) {
    scratch::Folder f;
    const std::string path = f.path("cache home/tinselwave/modules.cache");
    ASSERT_TRUE(collection::writeModuleCache(path, sample()));
    expectSame(sample(), collection::readModuleCache(path));
    ModuleCache smaller;
    smaller.modules["/only.xm"].facts.state = ModuleState::NotModule;
    ASSERT_TRUE(collection::writeModuleCache(path, smaller));
    expectSame(smaller, collection::readModuleCache(path));
    // No temporary file is left beside it.
    EXPECT_EQ(scratch::listing(f.path("cache home/tinselwave")),
              path + " " + std::to_string(collection::encodeModuleCache(smaller).size()) + "\n");
    // Garbage in place of the cache reads as no cache; a file where the folder should be makes
    // writing fail, and the player goes on.
    f.write("garbage/modules.cache", "not a cache");
    EXPECT_TRUE(collection::readModuleCache(f.path("garbage/modules.cache")).modules.empty());
    f.write("blocked", "a file, not a folder");
    EXPECT_FALSE(
        collection::writeModuleCache(f.path("blocked/tinselwave/modules.cache"), sample()));
    EXPECT_TRUE(collection::readModuleCache(f.path("none/modules.cache")).modules.empty());
    if (geteuid() != 0) {
        ASSERT_EQ(chmod(f.path("cache home/tinselwave").c_str(), 0500), 0);
        EXPECT_FALSE(collection::writeModuleCache(path, sample()));
        expectSame(smaller, collection::readModuleCache(path)); // the old file stands
    }
}

TEST(ModuleCacheFile, LivesWhereTheDesktopKeepsCaches) {
    const char* savedXdg = std::getenv("XDG_CACHE_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";
    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CACHE_HOME", "/var/cache/mine", 1);
    EXPECT_EQ(collection::moduleCachePath(), "/var/cache/mine/tinselwave/modules.cache");
    setenv("XDG_CACHE_HOME", "relative/not/allowed", 1);
    EXPECT_EQ(collection::moduleCachePath(), "/home/someone/.cache/tinselwave/modules.cache");
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(collection::moduleCachePath(), "/home/someone/.cache/tinselwave/modules.cache");
    unsetenv("HOME");
    EXPECT_EQ(collection::moduleCachePath(), "");
    if (savedXdg) setenv("XDG_CACHE_HOME", xdg.c_str(), 1);
    if (savedHome) setenv("HOME", home.c_str(), 1);
}

} // namespace
