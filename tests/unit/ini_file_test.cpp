// The portable profile file. The expected results are those the Win32 profile functions
// give on the same bytes (the Wine tests compare the two directly).
#include "model/ini_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include "tests/support/settings_support.h"

namespace kalverin {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / (std::string("kalverin-ini-") +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = dir_ / "test.ini";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_, path_;
};

struct ReadCase {
    std::string file;
    const char* section;
    const char* key;
    const char* text;  // readString with fallback "dflt  " and room for 99 characters
    unsigned number;   // readInt with fallback 777
};

const ReadCase kReads[] = {
    {"[s]\r\nk=v\r\n", "s", "k", "v", 0},
    {"[s]\r\nk=v\r\n", "S", "K", "v", 0},
    {"[s]\r\nk=v\r\n", " s\t", " k ", "v", 0},
    {"[s]\r\nk=v\r\n", "s", "missing", "dflt", 777},
    {"[s]\r\nk=v\r\n", "t", "k", "dflt", 777},
    {"junk\r\n\r\n  [ s ]  trailing\r\n  k  =  12  \r\nk=99\r\n", "s", "k", "12", 12},
    {"[s]\r\nk=1\r\n[s]\r\nk=2\r\nq=3\r\n", "s", "q", "dflt", 777},  // first section only
    {"[x]y]\r\nk=2\r\n", "x]y", "k", "2", 2},
    {"[s]\nk=\"quoted\"\n", "s", "k", "quoted", 0},
    {"[s]\nk='single'\n", "s", "k", "single", 0},
    {"[s]\nk=\"mixed'\n", "s", "k", "\"mixed'", 0},
    {"[s]\nk=\"\n", "s", "k", "\"", 0},
    {"[s]\nk=\"\"\n", "s", "k", "", 777},  // empty after the quotes: no number
    {"[s]\nk=\n", "s", "k", "", 777},
    {"[s]\nk= \" sp \" \n", "s", "k", " sp ", 0},
    {"[s]\nnoeq\n", "s", "noeq", "dflt", 777},
    {"[s]\nK\nk=5\n", "s", "k", "dflt", 777},  // the first key of a name hides the rest
    {"[s]\n=a\n=b\n", "s", "", "a", 0},
    {"[s]\n;k=5\n", "s", ";k", "5", 5},
    {"[s]\rk=1\rq=2\r", "s", "q", "2", 2},
    {std::string("[s]\r\nk=a\0b\r\nq=1", 16), "s", "k", "a", 0},  // a zero byte ends the text
    {std::string("[s]\r\nk=a\0b\r\nq=1", 16), "s", "q", "1", 1},
    {"[s]\r\nk=\x1Azz\r\n", "s", "k", "zz", 0},
    {"[s]\r\n\vk\f=\v7\f\r\n", "s", "k", "7", 7},
    {"[Zulu]\r\nZed=9\r\n", "zULU", "zED", "9", 9},
    {"[s]\r\nk=\xA0v\r\n", "s", "k", "\xA0v", 0},
    {"[s]\r\nk=-1\r\n", "s", "k", "-1", 4294967295u},
    {"[s]\r\nk=+7\r\n", "s", "k", "+7", 7},
    {"[s]\r\nk=- 5\r\n", "s", "k", "- 5", 0},
    {"[s]\r\nk=0x1f\r\n", "s", "k", "0x1f", 31},
    {"[s]\r\nk=0o17\r\n", "s", "k", "0o17", 15},
    {"[s]\r\nk=0b101\r\n", "s", "k", "0b101", 5},
    {"[s]\r\nk=12abc\r\n", "s", "k", "12abc", 12},
    {"[s]\r\nk=abc\r\n", "s", "k", "abc", 0},
    {"[s]\r\nk=\"12\"\r\n", "s", "k", "12", 12},
    {"[s]\r\nk=4294967296\r\n", "s", "k", "4294967296", 0},
    {"[s]\r\nk=99999999999\r\n", "s", "k", "99999999999", 1215752191u},
    {"[s]\r\nk=000000000000000000000000000000007\r\n", "s", "k", "000000000000000000000000000000007", 0},
    // The platform reads 29 characters of a number: the 7 is the 30th here, the 29th below.
    {"[s]\r\nk=000000000000000000000000000007\r\n", "s", "k", "000000000000000000000000000007", 0},
    {"[s]\r\nk=00000000000000000000000000007\r\n", "s", "k", "00000000000000000000000000007", 7},
    {"[s]\r\n[t\r\nk=1\r\n", "s", "k", "1", 1},  // "[t" is no section header
    // Saved by an editor as "UTF-8 with BOM": the mark is no part of the first header.
    {"\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", "v", 0},
    {"\xEF\xBB\xBFk=v\r\n[s]\r\n", "", "k", "dflt", 777},
    {"\xEF\xBB[s]\r\nk=v\r\n", "s", "k", "dflt", 777},  // half a mark is text
};

TEST_F(IniFileTest, ReadsAsThePlatformDoes) {
    for (const ReadCase& c : kReads) {
        writeAll(path_, c.file);
        IniProfileFile ini(path_.string());
        SCOPED_TRACE(c.file + " [" + c.section + "] " + c.key);
        EXPECT_EQ(ini.readString(c.section, c.key, "dflt  ", 99), c.text);
        EXPECT_EQ(ini.readInt(c.section, c.key, 777), c.number);
        IniProfileFile memory = IniProfileFile::inMemory(c.file);
        EXPECT_EQ(memory.readString(c.section, c.key, "dflt  ", 99), c.text);
        EXPECT_EQ(memory.readInt(c.section, c.key, 777), c.number);
    }
}

TEST_F(IniFileTest, StringsAreCutToTheRoomGiven) {
    writeAll(path_, "[s]\r\nk=\"abcdefghij\"\r\n");
    IniProfileFile ini(path_.string());
    const struct {
        size_t room;
        const char* text;
    } cases[] = {{0, ""}, {1, "a"}, {9, "abcdefghi"}, {10, "abcdefghij"}, {11, "abcdefghij"}};
    for (const auto& c : cases) EXPECT_EQ(ini.readString("s", "k", "", c.room), c.text) << c.room;
    EXPECT_EQ(ini.readString("s", "absent", "fallback", 4), "fall");
}

TEST_F(IniFileTest, AbsentFileReadsAsEmpty) {
    IniProfileFile ini((dir_ / "absent.ini").string());
    EXPECT_EQ(ini.readInt("s", "k", 42), 42u);
    EXPECT_EQ(ini.readString("s", "k", "x", 9), "x");
    unsigned char area[2] = {1, 2};
    EXPECT_FALSE(ini.readStruct("s", "k", area, 2));
    EXPECT_EQ(area[0], 1);
    EXPECT_FALSE(fs::exists(dir_ / "absent.ini"));
}

struct WriteCase {
    const char* before;
    std::vector<std::vector<const char*>> writes;  // section, key, value
    const char* after;
};

TEST_F(IniFileTest, WritesAsThePlatformDoes) {
    const WriteCase cases[] = {
        {"",
         {{"User 1", "hkv", "187"},
          {"User 1", "hmod", "2"},
          {"Kalverin", "Build", "151"},
          {"User 1", "sotb", "4294967295"},
          {"user 1", "HKV", "188"}},
         "[User 1]\r\nhkv=188\r\nhmod=2\r\nsotb=4294967295\r\n[Kalverin]\r\nBuild=151\r\n"},
        {"; head\r\n  [ s ] \r\n  k = v  \r\n\r\nz=1\r\n[t]\r\na=1",
         {{"s", "k", "new"}},
         "; head\r\n[s]\r\nk=new\r\nz=1\r\n[t]\r\na=1\r\n"},
        {"[s]\nk=v\n", {{"s", "m", "3"}}, "[s]\r\nk=v\r\nm=3\r\n"},
        {"[s]\r\nk=v", {{"t", "n", "1"}}, "[s]\r\nk=v\r\n[t]\r\nn=1\r\n"},
        {"pre=1\r\n", {{"s", "k", "2"}}, "pre=1\r\n[s]\r\nk=2\r\n"},
        {"[s]\r\n[t]\r\n[s]\r\n", {{"s", "k", "2"}}, "[s]\r\nk=2\r\n[t]\r\n[s]\r\n"},
        {"[S]\r\nKey = 1\r\n", {{"s", "key", "2"}}, "[S]\r\nKey=2\r\n"},
        {"[s]\r\nk=1\r\n", {{" x ", " k ", " v "}}, "[s]\r\nk=1\r\n[x ]\r\nk =v \r\n"},
        // Written twice before any read: the second write finds the first one, as the file reads back.
        {"", {{" x ", " k ", "1"}, {" x ", " k ", "2"}, {"x", "j", "3"}}, "[x]\r\nk=2\r\nj=3\r\n"},
        // A key put into a section moves the sections below it down a line.
        {"[s]\r\nk=1\r\n[t]\r\na=1\r\n",
         {{"s", "m", "2"}, {"t", "a", "3"}},
         "[s]\r\nk=1\r\nm=2\r\n[t]\r\na=3\r\n"},
        {"[s]\r\nk=1\r\n", {{"s", "k", "a\r\nStart=5"}, {"s\nt", "j\r", "x"}}, "[s]\r\nk=a\r\nj=x\r\n"},
        {"[s]\r\nk=1\r\n", {{"q", "a=b", "v"}, {"q", "", "w"}}, "[s]\r\nk=1\r\n[q]\r\na=b=v\r\n=w\r\n"},
        {"[s]\r\nK\r\nk=5\r\n", {{"s", "k", "new"}}, "[s]\r\nK=new\r\nk=5\r\n"},
        // A key without a name right after another one is dropped, as the platform does.
        {"[s]\r\n=a\r\n=b\r\nk=1\r\n=c\r\n[t]\r\n=d\r\n",
         {{"s", "zz", "1"}},
         "[s]\r\n=a\r\nk=1\r\n=c\r\nzz=1\r\n[t]\r\n=d\r\n"},
        // The file holds ANSI text: a byte order mark an editor put in front is not written back.
        {"\xEF\xBB\xBF[s]\r\nk=1\r\n", {{"s", "k", "2"}}, "[s]\r\nk=2\r\n"},
        // Behind a blank those bytes are no mark but a key, and stay one when written back.
        {" \xEF\xBB\xBF[s]\r\nk=1\r\n", {{"s", "k", "2"}}, "\r\n\xEF\xBB\xBF[s]\r\nk=1\r\n[s]\r\nk=2\r\n"},
        // An unchanged value leaves the file as it was, untidy or not.
        {"[s]\n  k = 1  \n", {{"s", "k", "1"}}, "[s]\n  k = 1  \n"},
    };
    for (const WriteCase& c : cases) {
        writeAll(path_, c.before);
        IniProfileFile ini(path_.string());
        for (const auto& w : c.writes) ini.writeString(w[0], w[1], w[2]);
        EXPECT_EQ(readAll(path_), c.after) << c.before;
        // The same writes in memory give the same bytes and leave the disk alone.
        writeAll(path_, c.before);
        IniProfileFile memory = IniProfileFile::inMemory(c.before);
        for (const auto& w : c.writes) memory.writeString(w[0], w[1], w[2]);
        EXPECT_EQ(memory.bytes(), c.after) << c.before;
        EXPECT_EQ(readAll(path_), c.before);
    }
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryFiles) {
    IniProfileFile ini(path_.string());
    for (int i = 0; i < 20; ++i) ini.writeString("s", ("k" + std::to_string(i)).c_str(), "v");
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "test.ini");
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(IniFileTest, FailedWritesChangeNothing) {
    // No folder to write in: nothing appears and nothing is reported.
    IniProfileFile nowhere((dir_ / "no" / "such" / "folder.ini").string());
    nowhere.writeString("s", "k", "v");
    EXPECT_FALSE(fs::exists(dir_ / "no"));
    EXPECT_EQ(nowhere.readInt("s", "k", 5), 5u);

    // A folder where the file should be: the rename fails and the temporary file goes.
    fs::create_directories(path_);
    IniProfileFile blocked(path_.string());
    blocked.writeString("s", "k", "v");
    EXPECT_TRUE(fs::is_directory(path_));
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(dir_)) (void)entry, ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(ProfileStruct, EncodesEveryByteAndTheChecksum) {
    const unsigned char bytes[] = {0x00, 0x61, 0xFF, 0x10};
    EXPECT_EQ(encodeProfileStruct(bytes, 4), "0061FF1070");
    EXPECT_EQ(encodeProfileStruct(bytes, 0), "00");
    unsigned char big[300];
    for (size_t i = 0; i < sizeof big; ++i) big[i] = 0xFF;
    std::string text = encodeProfileStruct(big, sizeof big);
    EXPECT_EQ(text.size(), 602u);
    EXPECT_EQ(text.substr(600), "D4");  // 300 * 255 modulo 256
}

// Words of eight zero bytes are passed over whole: one byte in every place of areas with and
// without a tail must still be spelt and read back, and any digit spoilt refuses the text.
TEST(ProfileStruct, LongAreasSpellEveryPlace) {
    for (size_t size : {16u, 17u, 23u}) {
        for (size_t at = 0; at <= size; ++at) {  // at == size: zeros alone
            std::vector<unsigned char> bytes(size, 0);
            if (at < size) bytes[at] = 0x5A;
            std::string spelt;
            char pair[3];
            for (unsigned char byte : bytes)
                spelt.append(pair, std::snprintf(pair, sizeof pair, "%02X", byte));
            spelt += at < size ? "5A" : "00";
            SCOPED_TRACE(spelt);
            EXPECT_EQ(encodeProfileStruct(bytes.data(), size), spelt);
            std::vector<unsigned char> back(size, 0xEE), untouched = back;
            EXPECT_TRUE(decodeProfileStruct(spelt, back.data(), size));
            EXPECT_EQ(back, bytes);
            for (size_t digit = 0; digit < spelt.size(); ++digit) {
                for (char spoiler : {'G', spelt[digit] == '1' ? '2' : '1'}) {
                    std::string spoilt = spelt;
                    spoilt[digit] = spoiler;
                    EXPECT_FALSE(decodeProfileStruct(spoilt, untouched.data(), size)) << spoilt;
                }
            }
            EXPECT_EQ(untouched, std::vector<unsigned char>(size, 0xEE));
        }
    }
}

TEST(ProfileStruct, DecodesOnlyExactValidText) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"6162C3", true},    {"6162c3", true},  {"6162C4", false}, {"6162C3A", false},   {"6162C", false},
        {"6162C300", false}, {"", false},       {"61G2C3", false}, {"6162C\x00", false}, {" 162C3", false},
        {"+162C3", false},   {"G06252", false}, {"00AFBG", false},  // bad digits whose garbage would match
    };
    for (const auto& c : cases) {
        unsigned char area[2] = {9, 9};
        EXPECT_EQ(decodeProfileStruct(c.text, area, 2), c.ok) << c.text;
        EXPECT_EQ(area[0], c.ok ? 'a' : 9) << c.text;  // a refused text leaves the area alone
        EXPECT_EQ(area[1], c.ok ? 'b' : 9) << c.text;
    }
}

TEST_F(IniFileTest, StructuresRoundTripAndRejectQuotes) {
    unsigned char area[1020];
    for (size_t i = 0; i < sizeof area; ++i) area[i] = static_cast<unsigned char>(i * 7);
    IniProfileFile ini(path_.string());
    ini.writeStruct("s", "t", area, sizeof area);
    unsigned char back[1020] = {};
    ASSERT_TRUE(ini.readStruct("s", "t", back, sizeof back));
    EXPECT_EQ(0, std::memcmp(area, back, sizeof area));
    EXPECT_FALSE(ini.readStruct("s", "t", back, 500)) << "a different size is a different value";
    writeAll(path_, "[s]\r\nt=\"6162C3\"\r\nu= 6162C3 \r\n");
    unsigned char two[2] = {};
    EXPECT_FALSE(ini.readStruct("s", "t", two, 2));
    EXPECT_TRUE(ini.readStruct("s", "u", two, 2));
}

}  // namespace
}  // namespace kalverin
