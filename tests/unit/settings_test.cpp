#include "model/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "model/settings_move.h"
#include "tests/support/logging_profile.h"
#include "tests/support/settings_support.h"

namespace kalverin {
namespace {

namespace fs = std::filesystem;

constexpr TimeValue kNow = 1017240312;  // 2002-03-27 14:45:12 UTC

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               // Not gtest's seed: it is the clock's, and two runs started together shared folders.
               ("kalverin-settings-" + std::to_string(std::random_device{}()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = dir_ / "kalverin.ini";
    }
    void TearDown() override { fs::remove_all(dir_); }

    QuitRecord load(const std::string& section = "User 1") {
        QuitRecord record;
        record.sectionName = section;
        IniProfileFile file(path_.string());
        loadSettings(record, file, kNow);
        return record;
    }
    void save(const QuitRecord& record) {
        IniProfileFile file(path_.string());
        saveSettings(record, file);
    }

    fs::path dir_, path_;
};

TEST_F(SettingsFileTest, AbsentOrEmptyFileGivesEveryDefault) {
    for (bool exists : {false, true}) {
        if (exists) writeAll(path_, "");
        QuitRecord r = load("Someone");
        EXPECT_EQ(r.userName, "Someone");
        EXPECT_EQ(r.quitStart, kNow);
        EXPECT_EQ(r.cigarettesPerDay, 0);
        EXPECT_EQ(r.packPriceWhole, 0);
        EXPECT_EQ(r.packPriceHundredths, 0);
        EXPECT_EQ(r.cigarettesPerPack, 20);
        EXPECT_EQ(r.tipShowsNotSmoked, 1);
        EXPECT_EQ(r.tipShowsMoneySaved, 1);
        EXPECT_EQ(r.tipShowsSeconds, 1);
        EXPECT_EQ(r.tipShowsLifeSaved, 1);
        EXPECT_EQ(r.showOnTaskbar, -1);
        EXPECT_EQ(r.secondaryHotKeysEnabled, 0);
        const uint16_t vk[] = {kVkOemPlus, kVkF9, kVkF10, kVkF11, kVkF12};
        for (size_t i = 0; i < kHotKeyCount; ++i) {
            EXPECT_EQ(r.hotKeyVk[i], vk[i]);
            EXPECT_EQ(r.hotKeyModifiers[i], kStoredControl);
        }
        EXPECT_EQ(r.hotPasteTexts[0], kDefaultPrimaryText);
        for (size_t i = 1; i < kHotKeyCount; ++i) EXPECT_EQ(r.hotPasteTexts[i], "");
        EXPECT_EQ(r.lastBuild, 100);
        EXPECT_EQ(r.minutesPerDay, 1440);
        EXPECT_EQ(fs::exists(path_), exists) << "loading must not create the file";
    }
}

TEST_F(SettingsFileTest, SavedFileHasEveryKeyInItsTextForm) {
    QuitRecord r;
    r.quitStart = 1017240300;
    r.hotPasteTexts[0] = "Hi";
    save(r);
    std::string text = readAll(path_);
    std::string hiArea = "4869" + std::string(2 * 1018, '0') + "B1";
    std::string emptyArea(1002, '0');
    std::string expected =
        "[User 1]\r\nhkv=187\r\nhmod=2\r\nhkv1=120\r\nhmod1=2\r\nhkv2=121\r\nhmod2=2\r\n"
        "hkv3=122\r\nhmod3=2\r\nhkv4=123\r\nhmod4=2\r\nmirc=0\r\nStart=1017240300\r\nspd=0\r\n"
        "cph=0\r\ncptu=0\r\ncpp=20\r\nwns=1\r\nwc=1\r\nws=1\r\nls=1\r\nsotb=4294967295\r\n"
        "Name=\r\nText=" +
        hiArea + "\r\nText1=" + emptyArea + "\r\nText2=" + emptyArea + "\r\nText3=" + emptyArea +
        "\r\nText4=" + emptyArea + "\r\n[Kalverin]\r\nBuild=100\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(SettingsFileTest, RecordRoundTripsThroughTheFile) {
    QuitRecord original = unusualRecord();
    save(original);
    QuitRecord loaded = load();
    expectSameStored(original, loaded);
    // Saving what was loaded changes nothing in the file.
    std::string first = readAll(path_);
    save(loaded);
    EXPECT_EQ(readAll(path_), first);
    // A file in memory holds the same bytes and reads back the same record.
    IniProfileFile memory = IniProfileFile::inMemory("");
    saveSettings(original, memory);
    QuitRecord fromMemory;
    loadSettings(fromMemory, memory, kNow);
    expectSameStored(original, fromMemory);
    EXPECT_EQ(memory.bytes(), first);
}

TEST_F(SettingsFileTest, ShowOnTaskbarKeepsItsSign) {
    const struct {
        int16_t value;
        const char* digits;
    } cases[] = {
        {-1, "sotb=4294967295\r\n"}, {0, "sotb=0\r\n"}, {1, "sotb=1\r\n"}, {-2, "sotb=4294967294\r\n"}};
    for (const auto& c : cases) {
        QuitRecord r;
        r.showOnTaskbar = c.value;
        save(r);
        EXPECT_NE(readAll(path_).find(c.digits), std::string::npos) << c.value;
        EXPECT_EQ(load().showOnTaskbar, c.value);
    }
}

TEST_F(SettingsFileTest, SixteenBitFieldsAreWrittenWithoutSign) {
    QuitRecord r;
    r.hotKeyVk[0] = 0xFF;
    r.hotKeyModifiers[0] = 0x0F;
    r.cigarettesPerDay = -1;  // a 32-bit field keeps all its bits
    save(r);
    std::string text = readAll(path_);
    EXPECT_NE(text.find("hkv=255\r\n"), std::string::npos);
    EXPECT_NE(text.find("hmod=15\r\n"), std::string::npos);
    EXPECT_NE(text.find("spd=4294967295\r\n"), std::string::npos);
    QuitRecord loaded = load();
    EXPECT_EQ(loaded.cigarettesPerDay, -1);
    EXPECT_EQ(loaded.hotKeyVk[0], 0xFF);  // the largest code and modifiers load as written
    EXPECT_EQ(loaded.hotKeyModifiers[0], 0x0F);
}

TEST_F(SettingsFileTest, PrimaryTextIsCutInsideItsStoredArea) {
    const struct {
        size_t length, stored;
    } cases[] = {{0, 0},       {1, 1},       {478, 478},   {1018, 1018},
                 {1019, 1019}, {1020, 1019}, {1023, 1019}, {5000, 1019}};
    for (const auto& c : cases) {
        QuitRecord r;
        for (size_t i = 0; i < c.length; ++i) r.hotPasteTexts[0] += static_cast<char>('a' + i % 26);
        save(r);
        QuitRecord loaded = load();
        EXPECT_EQ(loaded.hotPasteTexts[0], r.hotPasteTexts[0].substr(0, c.stored)) << c.length;
    }
}

TEST_F(SettingsFileTest, SecondaryTextsAreCutToTheirArea) {
    const struct {
        size_t length, stored;
    } cases[] = {{0, 0}, {498, 498}, {499, 499}, {500, 499}, {900, 499}};
    for (const auto& c : cases) {
        QuitRecord r;
        for (size_t i = 1; i < kHotKeyCount; ++i) r.hotPasteTexts[i] = std::string(c.length, 'x');
        save(r);
        QuitRecord loaded = load();
        for (size_t i = 1; i < kHotKeyCount; ++i)
            EXPECT_EQ(loaded.hotPasteTexts[i].size(), c.stored) << c.length;
        const std::string file = readAll(path_);
        EXPECT_EQ(file.substr(file.find("Text1=") + 6 + 2 * 499, 2), "00")
            << "the last byte is the terminator";
    }
}

TEST_F(SettingsFileTest, BytesAfterTheTerminatorAreWrittenAsZeros) {
    QuitRecord r;
    r.hotPasteTexts[1] = std::string("ab\0cd", 5);  // what follows a zero is not text
    save(r);
    std::string text = readAll(path_);
    size_t at = text.find("Text1=");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.substr(at + 6, 1002), "6162" + std::string(996, '0') + "C3");
    EXPECT_EQ(load().hotPasteTexts[1], "ab");
}

// Replaces the value of `key` in the file text.
std::string withValue(std::string text, const std::string& key, const std::string& value) {
    size_t at = text.find("\n" + key + "=");
    EXPECT_NE(at, std::string::npos) << key;
    size_t begin = at + key.size() + 2, end = text.find("\r\n", begin);
    return text.replace(begin, end - begin, value);
}

std::string valueOf(const std::string& text, const std::string& key) {
    size_t begin = text.find("\n" + key + "=") + key.size() + 2;
    return text.substr(begin, text.find("\r\n", begin) - begin);
}

TEST_F(SettingsFileTest, DamagedTextValuesAreRejected) {
    QuitRecord original = unusualRecord();
    save(original);
    const std::string good = readAll(path_);
    const std::string text = valueOf(good, "Text"), text1 = valueOf(good, "Text1");
    std::string lastTwoAltered =
        text.substr(0, text.size() - 2) + (text.substr(text.size() - 2) == "00" ? "01" : "00");
    std::string firstByteAltered = (text[0] == '7' ? "8" : "7") + text.substr(1);
    const struct {
        const char* what;
        std::string value, value1;
    } cases[] = {
        {"checksum digits altered", lastTwoAltered, text1.substr(0, 1000) + "FF"},
        {"data altered", firstByteAltered, "X" + text1.substr(1)},
        {"one digit short", text.substr(1), text1.substr(1)},
        {"one digit long", text + "0", text1 + "0"},
        {"one byte long", text.substr(0, 2) + text, text1.substr(0, 2) + text1},
        {"not hex", std::string(text.size(), 'G'), std::string(text1.size(), 'Z')},
        {"quoted", '"' + text + '"', '"' + text1 + '"'},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        writeAll(path_, withValue(withValue(good, "Text", c.value), "Text1", c.value1));
        QuitRecord r;
        r.hotPasteTexts[1] = "kept in memory";
        IniProfileFile file(path_.string());
        loadSettings(r, file, kNow);
        EXPECT_EQ(r.hotPasteTexts[0], kDefaultPrimaryText) << c.what;
        EXPECT_EQ(r.hotPasteTexts[1], "kept in memory") << c.what;
        EXPECT_EQ(r.hotPasteTexts[2], original.hotPasteTexts[2]) << c.what;
    }
}

TEST_F(SettingsFileTest, MissingSecondaryTextLeavesTheTextAsItWas) {
    writeAll(path_, "[User 1]\r\nName=Bo\r\n");
    QuitRecord r;
    r.hotPasteTexts[1] = "before";
    r.hotPasteTexts[4] = "four";
    IniProfileFile file(path_.string());
    loadSettings(r, file, kNow);
    EXPECT_EQ(r.hotPasteTexts[1], "before");
    EXPECT_EQ(r.hotPasteTexts[4], "four");
    EXPECT_EQ(r.userName, "Bo");
}

TEST_F(SettingsFileTest, LoadRecomputesTheRates) {
    writeAll(path_, "[User 1]\r\nspd=20\r\ncph=4\r\ncptu=50\r\ncpp=20\r\n");
    QuitRecord r = load();
    EXPECT_EQ(r.moneyPerMinute, static_cast<float>(20 * ((4 + 50 * static_cast<double>(0.01f)) / 20) *
                                                   static_cast<double>(1.0f / 1440.0f)));
    EXPECT_NEAR(r.moneyPerMinute, 0.003125, 1e-7);
    EXPECT_NEAR(r.cigarettesPerMinute, 0.0138889, 1e-7);
    EXPECT_EQ(r.minutesPerDay, 1440);
    writeAll(path_, "[User 1]\r\nspd=20\r\ncph=4\r\ncpp=0\r\n");
    EXPECT_EQ(load().moneyPerMinute, 0.0f);
}

TEST_F(SettingsFileTest, CorruptValuesLoadSoundly) {
    const struct {
        const char* what;
        std::string body;
    } cases[] = {
        {"garbage lines", "\x01\x02garbage\r\n=\r\n[\r\n]]]\r\n[User 1\r\nhkv=65\r\n"},
        {"out-of-range key code", "hkv=65601\r\nhmod=4294967295\r\nhkv1=256\r\nhmod1=16\r\n"},
        {"out-of-range secondary keys",
         "hkv2=256\r\nhmod2=16\r\nhkv3=256\r\nhmod3=16\r\nhkv4=256\r\nhmod4=16\r\n"},
        {"letters for numbers", "hkv=abc\r\nspd=twenty\r\ncpp=x20\r\n"},
        {"huge numbers wrap", "Start=99999999999\r\nspd=4294967296\r\n"},
        {"over-long name", "Name=" + std::string(300, 'n') + "\r\n"},
        {"binary junk", std::string("spd=\0\xff\xfe", 7) + "\r\nName=\xff\xfe\r\n"},
    };
    for (const auto& c : cases) {
        writeAll(path_, "[User 1]\r\n" + c.body);
        QuitRecord r = load();
        SCOPED_TRACE(c.what);
        EXPECT_LE(r.userName.size(), kUserNameMax);
        for (int i = 0; i < 5; ++i) {
            EXPECT_LE(r.hotKeyVk[i], 0xFF) << i;
            EXPECT_LE(r.hotKeyModifiers[i], 0x0F) << i;
        }
        EXPECT_EQ(r.hotPasteTexts[0], kDefaultPrimaryText);
    }
    writeAll(path_,
             "[User 1]\r\nhkv=65601\r\nhmod=4294967295\r\nhkv1=0x41\r\nhmod1=16\r\nspd=twenty\r\n"
             "hkv2=256\r\nhmod2=16\r\nhkv3=256\r\nhmod3=16\r\nhkv4=256\r\nhmod4=16\r\n"
             "cpp= 25abc\r\nStart=99999999999\r\nName=" +
                 std::string(300, 'n') + "\r\n");
    QuitRecord r = load();
    EXPECT_EQ(r.hotKeyVk[0], kVkOemPlus);  // impossible codes count as missing
    EXPECT_EQ(r.hotKeyModifiers[0], kStoredControl);
    EXPECT_EQ(r.hotKeyVk[1], 0x41);
    EXPECT_EQ(r.hotKeyModifiers[1], kStoredControl);
    for (int i = 2; i < 5; ++i) {  // the defaults 121, 122 and 123 with Ctrl
        EXPECT_EQ(r.hotKeyVk[i], 119 + i);
        EXPECT_EQ(r.hotKeyModifiers[i], kStoredControl);
    }
    EXPECT_EQ(r.cigarettesPerDay, 0);  // garbage reads as 0, as the platform reads it
    EXPECT_EQ(r.cigarettesPerPack, 25);
    EXPECT_EQ(r.quitStart, 1215752191u);  // 99999999999 modulo 2^32
    EXPECT_EQ(r.userName, std::string(99, 'n'));
}

TEST_F(SettingsFileTest, QuitStartKeepsAllThirtyTwoBits) {
    for (TimeValue start : {0u, 2147483647u, 2147483648u, 4294967295u}) {
        QuitRecord r;
        r.quitStart = start;
        save(r);
        EXPECT_EQ(load().quitStart, start);
    }
}

TEST_F(SettingsFileTest, NamesReadBackAsWritten) {
    const std::string names[] = {
        "",         "Ann",      " leading", "trailing ",          "\"quoted\"",
        "'single'", "a=b;c[d]", "\t",       std::string(99, 'z'), "\"" + std::string(98, 'q')};
    for (const std::string& name : names) {
        QuitRecord r;
        r.userName = name;
        save(r);
        EXPECT_EQ(load().userName, name) << name;
    }
    QuitRecord r;
    r.userName = "two\r\nStart=5";  // a line break must not smuggle in another key
    r.quitStart = 77;
    save(r);
    QuitRecord loaded = load();
    EXPECT_EQ(loaded.userName, "two");
    EXPECT_EQ(loaded.quitStart, 77u);
}

TEST_F(SettingsFileTest, UsersShareTheFileWithoutTouchingEachOther) {
    QuitRecord ann = unusualRecord();
    ann.sectionName = "Ann";
    QuitRecord bob;
    bob.sectionName = "bob";
    bob.userName = "Bob";
    bob.cigarettesPerDay = 7;
    bob.lastBuild = 151;
    save(ann);
    save(bob);
    expectSameStored(load("ANN"), ann);  // section names are not case-sensitive
    QuitRecord loadedBob = load("Bob");
    expectSameStored(loadedBob, bob);
    EXPECT_EQ(load("Carol").userName, "Carol");
}

// The C library's disk, failing at one step of a save: the n-th call of one kind. A failing
// write puts half its piece in the file first, as a disk that fills part-way does.
class FaultyDisk : public StdioProfileDisk {
public:
    enum class Step { none, read, create, write, flush, replace };
    FaultyDisk(Step step, int nth) : step_(step), nth_(nth) {}
    FileRead readAll(const std::string& path, std::string& bytes) override {
        return fails(Step::read) ? FileRead::unreadable : StdioProfileDisk::readAll(path, bytes);
    }
    bool createTemporary(const std::string& path, std::string& temporary) override {
        return !fails(Step::create) && StdioProfileDisk::createTemporary(path, temporary);
    }
    bool write(const char* data, size_t size) override {
        if (!fails(Step::write)) return StdioProfileDisk::write(data, size);
        StdioProfileDisk::write(data, size / 2);
        return false;
    }
    bool flush() override { return !fails(Step::flush) && StdioProfileDisk::flush(); }
    bool replace(const std::string& temporary, const std::string& path) override {
        return !fails(Step::replace) && StdioProfileDisk::replace(temporary, path);
    }
    std::string failureReason() override {
        return failed_ ? "The disk is full." : StdioProfileDisk::failureReason();
    }
    int writes = 0;

private:
    bool fails(Step step) {
        if (step == Step::write) ++writes;
        failed_ = step == step_ && ++count_ == nth_;
        return failed_;
    }
    Step step_;
    int nth_, count_ = 0;
    bool failed_ = false;
};

// Whatever step of a save fails, the file stays the old one whole, the other user's section
// byte for byte, no temporary file is left and the failure is reported; a save that completes
// stores the whole new record. A temporary file a crash left behind is never read.
TEST_F(SettingsFileTest, SaveFailingAtAnyStepLeavesTheOldFileWhole) {
    using Step = FaultyDisk::Step;
    const struct {
        Step step;
        int nth;
    } cases[] = {{Step::read, 1},  // held open by another program, say
                 {Step::create, 1}, {Step::write, 1}, {Step::write, 2},   {Step::write, 3},
                 {Step::write, 4},  {Step::flush, 1}, {Step::replace, 1}, {Step::none, 0}};
    QuitRecord old = unusualRecord(), changed = unusualRecord();
    old.sectionName = changed.sectionName = "Ann";
    old.hotPasteTexts[0] = std::string(1019, 'o');  // the file spans several written pieces
    changed.userName = "Zed";
    changed.cigarettesPerDay = 3;
    changed.hotPasteTexts[0] = std::string(1019, 'n');
    QuitRecord other = unusualRecord();
    other.sectionName = "Bob";
    const fs::path stale = path_.string() + ".1.0badf00d0001.tmp";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.step)) + "/" + std::to_string(c.nth));
        fs::remove(path_);
        save(other);
        save(old);
        writeAll(stale, "[Ann]\r\nName=Stale\r\n");
        const std::string before = readAll(path_);
        FaultyDisk disk(c.step, c.nth);
        IniProfileFile file(path_.string(), disk);
        SaveResult result = saveSettings(changed, file);
        EXPECT_EQ(result.saved, c.step == Step::none);
        EXPECT_EQ(result.reason, c.step == Step::none ? "" : "The disk is full.");
        EXPECT_EQ(result.path, c.step == Step::none ? "" : path_.string());
        expectSameStored(load("Ann"), c.step == Step::none ? changed : old);
        expectSameStored(load("Bob"), other);
        const std::string after = readAll(path_);
        if (c.step != Step::none) {
            EXPECT_EQ(after, before);
        } else {
            EXPECT_EQ(disk.writes, 4) << "the rows fail every write of the save in turn";
        }
        const std::string otherSection = before.substr(0, before.find("[Ann]"));
        EXPECT_EQ(after.substr(0, otherSection.size()), otherSection);
        std::set<fs::path> left;
        for (const auto& entry : fs::directory_iterator(dir_)) left.insert(entry.path());
        EXPECT_EQ(left, (std::set<fs::path>{path_, stale}));
    }
}

TEST_F(SettingsFileTest, TextsWithoutTerminatorEndInsideTheirArea) {
    std::string primary(1020, 'p'), secondary(500, 's');
    writeAll(path_, "[User 1]\r\nText=" + encodeProfileStruct(primary.data(), primary.size()) +
                        "\r\nText1=" + encodeProfileStruct(secondary.data(), secondary.size()) + "\r\n");
    QuitRecord r = load();
    EXPECT_EQ(r.hotPasteTexts[0], std::string(1019, 'p'));
    EXPECT_EQ(r.hotPasteTexts[1], std::string(499, 's'));
}

TEST_F(SettingsFileTest, BlankSectionNameUsesTheFirstUsersSection) {
    QuitRecord r;
    r.sectionName = " \t";
    r.cigarettesPerDay = 4;
    save(r);
    EXPECT_EQ(readAll(path_).rfind("[User 1]\r\n", 0), 0u);
    EXPECT_EQ(load(" ").cigarettesPerDay, 4);
    EXPECT_EQ(load("User 1").cigarettesPerDay, 4);
}

TEST_F(SettingsFileTest, NameDefaultIsTheSectionNameCut) {
    std::string longSection(150, 's');
    EXPECT_EQ(load(longSection).userName, std::string(99, 's'));
}

// Records every call so that the order of the keys can be checked.
TEST(SettingsOrder, LoadReadsEveryKeyInItsOrder) {
    LoggingProfile file;
    QuitRecord r;
    r.sectionName = "U";
    loadSettings(r, file, kNow);
    const std::vector<std::string> expected = {
        "U/Start",     "U/hkv",       "U/hmod",      "U/hkv1",     "U/hmod1",        "U/hkv2",
        "U/hmod2",     "U/hkv3",      "U/hmod3",     "U/hkv4",     "U/hmod4",        "U/mirc",
        "U/spd",       "U/cph",       "U/cptu",      "U/cpp",      "U/wns",          "U/wc",
        "U/ws",        "U/ls",        "U/sotb",      "U/Name",     "Kalverin/Build", "U/Text/1020",
        "U/Text1/500", "U/Text2/500", "U/Text3/500", "U/Text4/500"};
    EXPECT_EQ(file.keys, expected);
}

TEST(SettingsOrder, SaveWritesEveryKeyInItsOrder) {
    LoggingProfile file;
    QuitRecord r;
    r.sectionName = "U";
    saveSettings(r, file);
    const std::vector<std::string> expected = {
        "U/hkv",   "U/hmod", "U/hkv1",      "U/hmod1",     "U/hkv2",      "U/hmod2",     "U/hkv3",
        "U/hmod3", "U/hkv4", "U/hmod4",     "U/mirc",      "U/Start",     "U/spd",       "U/cph",
        "U/cptu",  "U/cpp",  "U/wns",       "U/wc",        "U/ws",        "U/ls",        "Kalverin/Build",
        "U/sotb",  "U/Name", "U/Text/1020", "U/Text1/500", "U/Text2/500", "U/Text3/500", "U/Text4/500"};
    EXPECT_EQ(file.keys, expected);
    std::set<const void*> fields;  // the table's record comparisons see every field only then
    for (const SettingsKey& key : kSettingsKeys)
        fields.insert(std::visit([](auto* field) -> const void* { return field; }, key.field(r)));
    EXPECT_EQ(fields.size(), kSettingsKeyCount) << "every key carries a field of its own";
}

// The settings file moving from the legacy place: reads before and after one write.
class MemoryFiles : public SettingsFileSystem {
public:
    explicit MemoryFiles(std::vector<std::string>& log) : log_(log) {}
    bool exists(const std::string& path) override { return present.count(path) != 0; }
    void copy(const std::string& from, const std::string& to) override {
        log_.push_back("copy " + from + " to " + to);
        if (copies && !present.count(to)) present.insert(to);
    }
    bool samePath(const std::string& a, const std::string& b) override { return a == b; }
    std::set<std::string> present;
    bool copies = true;

private:
    std::vector<std::string>& log_;
};

struct MoveCase {
    const char* name;
    std::set<std::string> present;
    const char* legacyPath;
    bool copies;  // whether the new place takes the copy
    std::vector<std::string> calls;
};

const MoveCase kMoveCases[] = {
    {"LegacyOnlyIsReadThenCopiedOnTheFirstWrite",
     {"old"},
     "old",
     true,
     {"load:legacy", "copy old to new", "save:new", "load:new"}},
    {"NewFileWins", {"old", "new"}, "old", true, {"load:new", "save:new", "load:new"}},
    {"NeitherFile", {}, "old", true, {"load:new", "save:new", "load:new"}},
    {"SamePlace", {"new"}, "new", true, {"load:new", "save:new", "load:new"}},
    {"NewPlaceRefusesReadsStayWithTheLegacyFile",
     {"old"},
     "old",
     false,
     {"load:legacy", "copy old to new", "save:new", "load:legacy"}},
};

TEST(SettingsMove, ReadsMoveOnlyOnceTheNewFileExists) {
    for (const MoveCase& c : kMoveCases) {
        std::vector<std::string> log;
        LoggingProfile current(&log, ":new"), legacy(&log, ":legacy");
        MemoryFiles files(log);
        files.present = c.present;
        files.copies = c.copies;
        MovingSettingsFile file(current, "new", legacy, c.legacyPath, files);
        file.readInt("User 1", "spd", 0);
        file.writeString("User 1", "spd", "20");
        file.readInt("User 1", "spd", 0);
        EXPECT_EQ(log, c.calls) << c.name;
    }
}

}  // namespace
}  // namespace kalverin
