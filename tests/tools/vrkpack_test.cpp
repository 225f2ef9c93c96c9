// The packer as a program: archives it writes are read back by the reader, its refusals, and
// its listing of damaged files.
#include <gtest/gtest.h>
#include <lzo/lzo1x.h>

#include <filesystem>

#include "data/archive.h"
#include "tests/data/test_files.h"

using namespace datatest;

namespace {

class VrkpackTest : public ::testing::Test {
  protected:
    int vrkpack(const std::string& arguments, std::string* output = nullptr) {
        return run(quote(VRKPACK_PATH) + " " + arguments, output);
    }
    std::string file(const std::string& name, const Bytes& bytes) {
        writeFile(scratch.path(name), bytes);
        return quote(scratch.path(name));
    }
    ScratchDir scratch;
};

TEST_F(VrkpackTest, CreateListExtractRoundTrip) {
    const std::string a = file("main.pak", bytesOf("packed picture"));
    const std::string b = file("LP1.TGA", Bytes(70000, 7));
    const std::string c = file("empty.bin", {});
    const std::string out = quote(scratch.path("vrk.bin"));
    ASSERT_EQ(vrkpack("create " + out + " " + a + " " + b + " " + c), 0);

    DataArchive archive(scratch.path("vrk.bin").c_str());
    ASSERT_EQ(archive.isOpen(), 1);
    ASSERT_EQ(archive.entries().size(), 3u);
    EXPECT_STREQ(archive.entries()[1].name, "LP1.TGA");
    char text[32] = {};
    EXPECT_EQ(archive.readEntry("tex\\MAIN.PAK", text, 0), 14);
    EXPECT_STREQ(text, "packed picture");
    EXPECT_EQ(archive.entrySize("lp1.tga"), 70000);
    EXPECT_EQ(archive.entrySize("empty.bin"), 0);

    std::string listing;
    ASSERT_EQ(vrkpack("list " + out, &listing), 0);
    EXPECT_NE(listing.find("main.pak"), std::string::npos);
    EXPECT_NE(listing.find("70000"), std::string::npos);

    const std::string extracted = scratch.path("x.tga");
    ASSERT_EQ(vrkpack("extract " + out + " 'tex\\lp1.tga' " + quote(extracted)), 0);
    EXPECT_EQ(readFile(extracted), Bytes(70000, 7));
    EXPECT_NE(vrkpack("extract " + out + " nothing.tga " + quote(extracted), &listing), 0);
    EXPECT_NE(listing.find("nothing.tga"), std::string::npos);

    // The same inputs give the same bytes.
    ASSERT_EQ(vrkpack("create " + quote(scratch.path("again.bin")) + " " + a + " " + b + " " + c),
              0);
    EXPECT_EQ(readFile(scratch.path("again.bin")), readFile(scratch.path("vrk.bin")));
}

TEST_F(VrkpackTest, CreateRefusesNamesTheReaderCouldNotFind) {
    const std::string out = quote(scratch.path("out.bin"));
    std::string message;
    EXPECT_EQ(vrkpack("create " + out + " " + file("abcdefghi.tga", {1}), &message), 1);
    EXPECT_NE(message.find("longer than 12"), std::string::npos) << message;
    EXPECT_EQ(vrkpack("create " + out + " " + file("lp1.tga", {1}) + " " + file("LP1.TGA", {2}),
                      &message),
              1);
    EXPECT_NE(message.find("duplicate"), std::string::npos) << message;
    EXPECT_EQ(vrkpack("create " + out + " " + file("main.pak", {1}) + " " + file("main.pa", {2}),
                      &message),
              1);
    EXPECT_NE(message.find("shadowed"), std::string::npos) << message;
    EXPECT_EQ(vrkpack("create " + out + " " + file("a\\b.tga", {1}), &message), 1);
    EXPECT_EQ(vrkpack("create " + out + " " + quote(scratch.path("absent.tga")), &message), 1);
    EXPECT_FALSE(std::filesystem::exists(scratch.path("out.bin"))) << "no archive after a refusal";
    // The shorter name first is fine: both stay reachable.
    ASSERT_EQ(vrkpack("create " + out + " " + file("main.pa", {2}) + " " + file("main.pak", {1})),
              0);
    DataArchive archive(scratch.path("out.bin").c_str());
    char c = 0;
    archive.readEntry("main.pak", &c, 1);
    EXPECT_EQ(c, 1);
    EXPECT_NE(vrkpack("frobnicate"), 0);
}

TEST_F(VrkpackTest, CreateRefusesFilesBeyondTheFormatsLimit) {
    // A sparse file of 2 GiB: the size is known without writing it.
    const std::string big = scratch.path("big.bin");
    writeFile(big, {});
    std::filesystem::resize_file(big, 0x80000000ull);
    std::string message;
    EXPECT_EQ(vrkpack("create " + quote(scratch.path("out.bin")) + " " + quote(big), &message), 1);
    EXPECT_NE(message.find("2 GiB"), std::string::npos) << message;
}

TEST_F(VrkpackTest, ListFailsCleanlyOnDamagedFiles) {
    const Bytes good = buildArchive({{"main.pak", bytesOf("abc")}, {"lp1.tga", bytesOf("de")}});
    const std::size_t directory = good.size() - get32(good, good.size() - 8);
    std::vector<std::pair<std::string, Bytes>> hostile;
    hostile.push_back({"short", bytesOf("DATA")});
    Bytes magic = good;
    magic.back() = 'X';
    hostile.push_back({"magic", magic});
    Bytes far = good;
    put32(far, far.size() - 8, 0x7fffffff);
    hostile.push_back({"far", far});
    Bytes early = good;
    put16(early, directory, 3);
    hostile.push_back({"early", early});
    Bytes outside = good;
    put32(outside, directory + 2 + 21 + 13, 0xffffff00);
    hostile.push_back({"outside", outside});
    Bytes wraps = good;
    put32(wraps, directory + 2 + 17, 0xfffffffd);
    hostile.push_back({"wraps", wraps});
    for (const auto& [name, bytes] : hostile) {
        std::string message;
        EXPECT_EQ(vrkpack("list " + file(name + ".bin", bytes), &message), 1) << name;
        EXPECT_NE(message.find("vrkpack: "), std::string::npos) << name << ": " << message;
    }
    std::string message;
    EXPECT_EQ(vrkpack("list " + quote(scratch.path("absent.bin")), &message), 1);
}

TEST_F(VrkpackTest, LzoWritesABareStreamLiblzoUnpacks) {
    Bytes raw(300000);
    for (std::size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<std::uint8_t>((i * i) >> 9);
    const std::string in = file("in.tga", raw);
    const std::string out = scratch.path("in.pak");
    ASSERT_EQ(vrkpack("lzo " + in + " " + quote(out)), 0);
    const Bytes packed = readFile(out);
    EXPECT_LT(packed.size(), raw.size());
    ASSERT_EQ(lzo_init(), LZO_E_OK);
    Bytes back(raw.size());
    lzo_uint length = back.size();
    ASSERT_EQ(lzo1x_decompress_safe(packed.data(), packed.size(), back.data(), &length, nullptr),
              LZO_E_OK);
    EXPECT_EQ(length, raw.size());
    EXPECT_EQ(back, raw);
    EXPECT_NE(vrkpack("lzo " + quote(scratch.path("absent")) + " " + quote(out)), 0);
}

} // namespace
