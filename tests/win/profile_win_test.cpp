// The portable profile file against the Win32 profile functions: each must read what the
// other writes, and both must write the same bytes.
#include "model/profile_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "model/profile_disk_win.h"
#include "model/settings.h"
#include "model/settings_path_win.h"
#include "tests/support/settings_support.h"

namespace kalverin {
namespace {

namespace fs = std::filesystem;

constexpr TimeValue kNow = 1017240312;

// Every case gets files of its own: the platform keeps recently used profile files cached
// and notices a change by its time stamp, which two quick writes may share.
class ProfileWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "kalverin-win-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string freshPath() { return dir_ + "\\file" + std::to_string(++count_) + ".ini"; }

    std::string dir_;
    int count_ = 0;
};

std::vector<QuitRecord> sampleRecords() {
    std::vector<QuitRecord> records(4);
    records[1] = unusualRecord();
    records[1].sectionName = "Ann Other";
    QuitRecord& limits = records[2];
    limits.userName = std::string(99, 'L');
    limits.quitStart = 4294967295u;
    limits.cigarettesPerDay = -1;
    limits.showOnTaskbar = 1;
    limits.hotPasteTexts[0] = std::string(1019, 'p');
    for (size_t i = 1; i < kHotKeyCount; ++i) limits.hotPasteTexts[i] = std::string(499, 's');
    QuitRecord& quoting = records[3];
    quoting.sectionName = "user 1";
    quoting.userName = " \"padded\" ";
    return records;
}

// The program's own save (one replace through the wide file calls) against the platform's
// 28 writes, on a fresh file and on one holding another user, a comment and an unknown key.
TEST_F(ProfileWinTest, BothBackendsWriteTheSameBytesAndReadEachOther) {
    Win32ProfileDisk disk;
    for (const char* before : {"", "; kept\r\n[Other]\r\nName=Keep\r\nzz=1\r\n[Ann Other]\r\nExtra=1\r\n"})
        for (const QuitRecord& original : sampleRecords()) {
            SCOPED_TRACE(original.sectionName + " / " + original.userName + " / " + before);
            std::string portablePath = freshPath(), win32Path = freshPath();
            if (*before) writeAll(portablePath, before), writeAll(win32Path, before);
            IniProfileFile portable(portablePath, disk);
            Win32ProfileFile win32(win32Path);
            EXPECT_TRUE(saveSettings(original, portable).saved);
            saveSettings(original, win32);
            EXPECT_EQ(readAll(portablePath), readAll(win32Path));

            QuitRecord viaWin32, viaPortable;
            viaWin32.sectionName = viaPortable.sectionName = original.sectionName;
            Win32ProfileFile win32OfPortable(portablePath);
            IniProfileFile portableOfWin32(win32Path);
            loadSettings(viaWin32, win32OfPortable, kNow);
            loadSettings(viaPortable, portableOfWin32, kNow);
            expectSameStored(viaWin32, original);
            expectSameStored(viaPortable, original);
        }
}

TEST_F(ProfileWinTest, AbsentFileLoadsTheSameDefaults) {
    QuitRecord viaWin32, viaPortable;
    Win32ProfileFile win32(dir_ + "\\absent.ini");
    IniProfileFile portable(dir_ + "\\absent.ini");
    loadSettings(viaWin32, win32, kNow);
    loadSettings(viaPortable, portable, kNow);
    expectSameStored(viaWin32, viaPortable);
    EXPECT_EQ(viaWin32.hotPasteTexts[0], kDefaultPrimaryText);
    EXPECT_EQ(viaWin32.showOnTaskbar, -1);
}

// Both readers of a file shown as `file` give the same number, the same text in each room
// and the same structure.
void expectSameReads(ProfileFile& win32, ProfileFile& portable, const std::string& file, const char* section,
                     const char* key, const char* fallback, std::initializer_list<size_t> rooms) {
    SCOPED_TRACE(file + " [" + section + "] " + key);
    EXPECT_EQ(win32.readInt(section, key, 777), portable.readInt(section, key, 777));
    for (size_t maxChars : rooms)
        EXPECT_EQ(win32.readString(section, key, fallback, maxChars),
                  portable.readString(section, key, fallback, maxChars));
    unsigned char fromWin32[2] = {9, 9}, fromPortable[2] = {9, 9};
    EXPECT_EQ(win32.readStruct(section, key, fromWin32, 2),
              portable.readStruct(section, key, fromPortable, 2));
    EXPECT_EQ(0, std::memcmp(fromWin32, fromPortable, 2));
}

// Hand-made files both readers must see alike.
const char* const kOddFiles[] = {
    "junk\r\n\r\n  [ s ]  \r\n  k  =  12 \r\nk=99\r\n",
    "[s]\nk=\"quoted\"\nq='single'\nm=\"mixed'\nd=\"\ne=\"\"\nnoeq\n",
    "[s]\rk=-1\rq=+7\rm=0x10\rd=0o17\re=0b101\rf=12abc\rg=abc\rh=- 5\r",
    "[s]\r\nk=4294967296\r\nq=99999999999\r\nm=   \r\nd=\t9\r\ne=\"12\"\r\nf=0x\r\ng=-\r\n",
    "[s]\r\nk=                              5\r\nq=000000000000000000000000000000007\r\n"
    "m=000000000000000000000000000007\r\nd=00000000000000000000000000007\r\n",
    "[x]y] tail\r\nk=2\r\n[s]\r\nk=first\r\n[S]\r\nk=second\r\nq=only in second\r\n",
    "[s]\r\n;k=commented\r\nk=\x1Azz\r\nq=\xE9\xE8\r\n[t\r\nm=1\r\n",
    "[s]\r\nk=6162C3\r\nq=6162c3\r\nm= 6162C3 "
    "\r\nd=6162C4\r\ne=6162C3A\r\nf=\"6162C3\"\r\ng=616\r\n",
    "[s]\r\nk=\"abcdefghij\"\r\nq=abcdefghij\r\nm='  sp  '\r\n",
    "[Zulu]\r\n\vk\f=\v7\f\r\nZed=9\r\n",
};
const char* const kOddSections[] = {"s", "S", " s\t", "x]y", "t", "s\r\nt", "zULU", "missing"};
const char* const kOddKeys[] = {"k", " K ", "q", "m", "d", "e", "f", "g", "h", "noeq", ";k", "zED", "absent"};

TEST_F(ProfileWinTest, BothBackendsReadOddFilesAlike) {
    for (const char* content : kOddFiles) {
        std::string path = freshPath();
        writeAll(path, content);
        Win32ProfileFile win32(path);
        IniProfileFile portable(path);
        for (const char* section : kOddSections)
            for (const char* key : kOddKeys)
                expectSameReads(win32, portable, content, section, key, "dflt  ", {0, 1, 5, 9, 10, 11, 99});
    }
}

TEST_F(ProfileWinTest, BothBackendsRewriteOddFilesAlike) {
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } writes[] = {
        {"s", "k", "new"},         {"S", "NEWKEY", "1"},    {"other", "a", "b"},        {"s", "q", ""},
        {"t", "x", "y z"},         {" pad ", " k ", " v "}, {"a\r\nb", "k\nj", "v\rw"}, {"q", "a=b", "v"},
        {"s ", " m", "\"quoted\""}};
    for (const char* content : kOddFiles) {
        std::string portablePath = freshPath(), win32Path = freshPath();
        writeAll(portablePath, content);
        writeAll(win32Path, content);
        IniProfileFile portable(portablePath);
        Win32ProfileFile win32(win32Path);
        for (const auto& w : writes) {
            portable.writeString(w.section, w.key, w.value);
            win32.writeString(w.section, w.key, w.value);
        }
        EXPECT_EQ(readAll(portablePath), readAll(win32Path)) << content;
    }
}

// Files put together at random from the pieces that trip readers up, with a fixed seed so
// that a failure repeats. Left out on purpose: zero bytes, byte-order marks, empty section
// names and letters beyond ASCII in names, which the platform treats in ways of its own.
std::string randomProfile(std::mt19937& random) {
    static const char* const kPieces[] = {
        "[s]",  "[S]",  " [ s ] ", "[t]",   "[s] tail",   "[x]y]", "[t",     "k",      "K",
        "q",    " k ",  "k\t",     "=",     " = ",        "==",    "v",      "12",     "-1",
        "+7",   "0x1F", "0o17",    "0b101", "4294967296", " ",     "\t",     "\"",     "'",
        "\x1A", "\x1C", "\x0B",    "\xE9",  "\xA0",       ";",     "6162C3", "6162c3", "00",
        "\r\n", "\r\n", "\n",      "\r",    "\r\n\r\n"};
    std::uniform_int_distribution<size_t> pick(0, sizeof kPieces / sizeof kPieces[0] - 1);
    std::uniform_int_distribution<int> count(0, 60);
    std::string file;
    for (int i = count(random); i > 0; --i) file += kPieces[pick(random)];
    return file;
}

TEST_F(ProfileWinTest, BothBackendsAgreeOnRandomFiles) {
    std::mt19937 random(20021027);
    const char* const sections[] = {"s", "t", "x]y"};
    const char* const keys[] = {"k", "q", "v", "12", ";", ""};
    for (int round = 0; round < 150; ++round) {
        const std::string content = randomProfile(random);
        std::string portablePath = freshPath(), win32Path = freshPath();
        writeAll(portablePath, content);
        writeAll(win32Path, content);
        IniProfileFile portable(portablePath);
        Win32ProfileFile win32(win32Path);
        for (const char* section : sections)
            for (const char* key : keys)
                expectSameReads(win32, portable, ::testing::PrintToString(content), section, key, "d", {99});
        portable.writeString("s", "k", "new");
        win32.writeString("s", "k", "new");
        portable.writeString("u", "q", "1");
        win32.writeString("u", "q", "1");
        EXPECT_EQ(readAll(portablePath), readAll(win32Path)) << ::testing::PrintToString(content);
    }
}

TEST_F(ProfileWinTest, BadStructureLeavesTheAreaAlone) {
    std::string path = freshPath();
    writeAll(path, "[s]\r\nsum=6162C4\r\nlong=6162C3A\r\nshort=6162C\r\ngood=6162C3\r\n");
    for (const char* key : {"sum", "long", "short", "absent"}) {
        for (int backend = 0; backend < 2; ++backend) {
            Win32ProfileFile win32(path);
            IniProfileFile portable(path);
            ProfileFile& file = backend ? static_cast<ProfileFile&>(win32) : portable;
            unsigned char area[2] = {7, 7};
            EXPECT_FALSE(file.readStruct("s", key, area, 2)) << key << backend;
            EXPECT_EQ(area[0], 7) << key << backend;
            EXPECT_EQ(area[1], 7) << key << backend;
        }
    }
    Win32ProfileFile win32(path);
    unsigned char area[2] = {0, 0};
    EXPECT_TRUE(win32.readStruct("s", "good", area, 2));
    EXPECT_EQ(area[0], 'a');
    EXPECT_EQ(area[1], 'b');
}

TEST_F(ProfileWinTest, LineBreaksInValuesAddNoKeys) {
    std::string path = freshPath();
    Win32ProfileFile win32(path);
    win32.writeString("s", "n", "a\r\nStart=5");
    EXPECT_EQ(readAll(path), "[s]\r\nn=a\r\n");
}

// Restores an environment variable when the test ends.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name) {
        char buffer[32768];
        DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        had_ = length > 0 && length < sizeof buffer;
        if (had_) value_.assign(buffer, length);
    }
    ~EnvironmentVariable() { SetEnvironmentVariableA(name_, had_ ? value_.c_str() : nullptr); }
    void set(const char* value) { SetEnvironmentVariableA(name_, value); }

private:
    const char* name_;
    bool had_ = false;
    std::string value_;
};

TEST_F(ProfileWinTest, SettingsPathFollowsAppDataAndCreatesTheFolder) {
    EnvironmentVariable appData("APPDATA");
    std::string base = dir_ + "\\roaming\\deeper";
    appData.set((base + "\\").c_str());
    EXPECT_EQ(settingsFilePath(), base + "\\Kalverin\\kalverin.ini");
    DWORD attributes = GetFileAttributesA((base + "\\Kalverin").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    appData.set(nullptr);  // the shell's answer then
    std::string fromShell = settingsFilePath();
    EXPECT_NE(fromShell.find("\\Kalverin\\kalverin.ini"), std::string::npos) << fromShell;
    EXPECT_NE(fromShell.find(":\\"), std::string::npos) << fromShell;

    // A folder outside the ANSI code page comes back whole, as UTF-8, and is made.
    const std::string unicodeBase = dir_ + "\\\xD0\x96\xD0\xB0\xD0\xBD";  // "Жан"
    SetEnvironmentVariableW(L"APPDATA", wideText(unicodeBase).c_str());
    EXPECT_EQ(settingsFilePath(), unicodeBase + "\\Kalverin\\kalverin.ini");
    attributes = GetFileAttributesW(wideText(unicodeBase + "\\Kalverin").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(legacySettingsFilePath(), std::string(windows) + "\\kalverin.ini");
}

TEST_F(ProfileWinTest, LegacyFileIsReadUntilTheFirstSave) {
    std::string legacyPath = dir_ + "\\legacy.ini", newPath = dir_ + "\\new\\kalverin.ini";
    fs::create_directories(dir_ + "\\new");
    writeAll(legacyPath, "[User 1]\r\nName=Old\r\nspd=9\r\n[Other]\r\nName=Keep me\r\n");
    SetFileAttributesA(legacyPath.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string legacyBytes = readAll(legacyPath);

    SettingsFile file(newPath, legacyPath);
    EXPECT_TRUE(file.readingLegacy());
    QuitRecord r;
    loadSettings(r, file, kNow);
    EXPECT_EQ(r.userName, "Old");
    EXPECT_EQ(r.cigarettesPerDay, 9);
    EXPECT_FALSE(fs::exists(newPath)) << "loading must not write";

    r.cigarettesPerDay = 11;
    saveSettings(r, file);
    EXPECT_FALSE(file.readingLegacy());
    EXPECT_EQ(readAll(legacyPath), legacyBytes) << "the legacy file is never changed";
    QuitRecord again;
    loadSettings(again, file, kNow);
    EXPECT_EQ(again.cigarettesPerDay, 11);
    EXPECT_EQ(file.readString("Other", "Name", "", 99), "Keep me") << "other users move along";

    SettingsFile reopened(newPath, legacyPath);  // the new file exists now: legacy ignored
    EXPECT_FALSE(reopened.readingLegacy());
    EXPECT_EQ(reopened.readInt("User 1", "spd", 0), 11u);
    SetFileAttributesA(legacyPath.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ProfileWinTest, LegacyFileStaysReadWhileTheNewPlaceIsUnwritable) {
    std::string legacyPath = dir_ + "\\legacy.ini", newPath = dir_ + "\\missing\\kalverin.ini";
    writeAll(legacyPath, "[User 1]\r\nspd=9\r\n");
    SettingsFile file(newPath, legacyPath);
    QuitRecord r;
    loadSettings(r, file, kNow);
    r.cigarettesPerDay = 11;
    saveSettings(r, file);  // fails: there is no folder
    EXPECT_TRUE(file.readingLegacy());
    QuitRecord again;
    loadSettings(again, file, kNow);
    EXPECT_EQ(again.cigarettesPerDay, 9) << "the record must not fall back to the defaults";
}

TEST_F(ProfileWinTest, WithoutAnyFileTheNewPlaceIsWritten) {
    std::string newPath = dir_ + "\\kalverin.ini";
    SettingsFile file(newPath, dir_ + "\\no-legacy.ini");
    EXPECT_FALSE(file.readingLegacy());
    QuitRecord r;
    loadSettings(r, file, kNow);
    EXPECT_EQ(r.userName, "User 1");
    saveSettings(r, file);
    EXPECT_NE(readAll(newPath).find("[Kalverin]\r\nBuild=100\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ + "\\no-legacy.ini"));
}

// A save the system refuses (a read-only file, a file another program holds open without
// sharing) leaves the file as it was, no temporary file, and says why; once the cause is gone
// the next save stores the record and keeps the other section. The folder and file are named
// outside the ANSI code page, as a profile folder may be.
TEST_F(ProfileWinTest, RefusedSavesLeaveTheFileAndSayWhy) {
    const std::string folder = dir_ + "\\\xD0\x96\xD0\xB0\xD0\xBD";  // "Жан" in UTF-8
    const std::wstring wideFolder = wideText(folder);
    ASSERT_TRUE(CreateDirectoryW(wideFolder.c_str(), nullptr));
    const std::string path = folder + "\\kalverin.ini";
    const std::wstring widePath = wideText(path);
    Win32ProfileDisk disk;
    IniProfileFile file(path, disk);
    QuitRecord ann = unusualRecord(), other;
    ann.sectionName = "Ann";
    other.sectionName = "Bob";
    other.lastBuild = ann.lastBuild;  // the program's section is shared
    ASSERT_TRUE(saveSettings(other, file).saved);
    ASSERT_TRUE(saveSettings(ann, file).saved);

    const struct {
        const char* cause;
        DWORD attributes;  // given to the file while the save runs
        DWORD sharing;     // of a handle held open meanwhile; ~0u: none
        DWORD error;
    } cases[] = {
        {"read-only", FILE_ATTRIBUTE_READONLY, ~0u, ERROR_ACCESS_DENIED},
        {"held open", FILE_ATTRIBUTE_NORMAL, 0, ERROR_SHARING_VIOLATION},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        std::string before;
        ASSERT_EQ(disk.readAll(path, before), FileRead::read);
        SetFileAttributesW(widePath.c_str(), c.attributes);
        HANDLE held = c.sharing == ~0u ? INVALID_HANDLE_VALUE
                                       : CreateFileW(widePath.c_str(), GENERIC_READ, c.sharing, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ann.userName = c.cause;  // a change each time: an unchanged record leaves the file alone
        SaveResult refused = saveSettings(ann, file);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        SetFileAttributesW(widePath.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_FALSE(refused.saved);
        EXPECT_EQ(refused.path, path);
        EXPECT_EQ(refused.reason, systemReason(c.error));
        std::string after;
        ASSERT_EQ(disk.readAll(path, after), FileRead::read);
        EXPECT_EQ(after, before);
        size_t entries = 0;
        for (const auto& entry : fs::directory_iterator(wideFolder)) (void)entry, ++entries;
        EXPECT_EQ(entries, 1u) << "no temporary file is left";
    }
    ASSERT_TRUE(saveSettings(ann, file).saved);
    QuitRecord loadedAnn, loadedBob;
    loadedAnn.sectionName = "Ann";
    loadedBob.sectionName = "Bob";
    loadSettings(loadedAnn, file, kNow);
    loadSettings(loadedBob, file, kNow);
    expectSameStored(loadedAnn, ann);
    expectSameStored(loadedBob, other);
}

}  // namespace
}  // namespace kalverin
