// The console client's output streams: characters on a console, the bytes unchanged elsewhere.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "dde/client_output_win.h"
#include "dde/ddeml_api.h"
#include "model/profile_disk_win.h"

namespace kalverin {
namespace {

using namespace std::string_literals;

TEST(ClientOutput, TextFormatsConvertFromTheirCodePage) {
    const struct {
        unsigned format;
        bool text;
        UINT codePage;
    } cases[] = {
        {kCfText, true, CP_ACP}, {kCfOemText, true, CP_OEMCP}, {CF_UNICODETEXT, false, 0}, {2, false, 0}};
    for (const auto& c : cases) {
        UINT codePage = 12345;
        EXPECT_EQ(replyCodePage(c.format, codePage), c.text) << c.format;
        if (c.text) {
            EXPECT_EQ(codePage, c.codePage) << c.format;
        }
    }
}

// Text in the code pages replies come in, and the characters it is.
struct TextCase {
    const char* name;
    UINT codePage;
    std::string bytes;
    std::wstring text;
};
const TextCase kTexts[] = {
    {"ANSI Western: euro sign and e acute", 1252, "caf\xE9 \x80", L"caf\u00E9 \u20AC"},
    {"OEM Western: e acute", 850, "\x82t\x82", L"\u00E9t\u00E9"},
    {"UTF-8", CP_UTF8, "\xE2\x82\xAC", L"\u20AC"},
    {"UTF-8 cut short shows a replacement character", CP_UTF8, "a\xC3", L"a\uFFFD"},
};

TEST(ClientOutput, ToUtf16ReadsTheBytesInTheirCodePage) {
    std::vector<TextCase> cases(std::begin(kTexts), std::end(kTexts));
    cases.push_back({"a raw reply's terminating zero is kept", 1252, "ab\0"s, L"ab\0"s});
    cases.push_back({"nothing", 1252, "", L""});
    for (const auto& c : cases) {
        std::wstring text = L"left over";
        EXPECT_TRUE(toUtf16(c.bytes, c.codePage, text)) << c.name;
        EXPECT_EQ(text, c.text) << c.name;
    }
    std::wstring text;
    EXPECT_FALSE(toUtf16("abc", 12345, text)) << "a code page Windows does not know";
}

// A C stream of its own over `handle`, closed with it.
class HandleStream {
public:
    explicit HandleStream(HANDLE handle) {
        HANDLE copy = nullptr;
        DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        int fd = _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_BINARY | _O_WRONLY);
        stream_ = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
    }
    ~HandleStream() {
        if (stream_) std::fclose(stream_);
    }
    HandleStream(const HandleStream&) = delete;
    HandleStream& operator=(const HandleStream&) = delete;
    std::FILE* get() const { return stream_; }
    void close() {
        std::fclose(stream_);
        stream_ = nullptr;
    }

private:
    std::FILE* stream_ = nullptr;
};

// Scripts read the client's output through pipes and files: they get the reply's bytes as the
// service sent them, text or not. A reader gone is a loss the client reports.
TEST(ClientOutput, APipeGetsTheBytesUnchanged) {
    for (bool readerGone : {false, true}) {
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
        if (readerGone) CloseHandle(readEnd);
        {
            HandleStream stream(writeEnd);
            ASSERT_TRUE(stream.get());
            ClientStream out(stream.get(), writeEnd);
            EXPECT_FALSE(out.isConsole());
            out.writeText("caf\xE9\n", 1252);
            out.writeText("\x82\n", CP_OEMCP);
            out.writeBytes("\x01\x00\xFF"s);
            EXPECT_EQ(out.finish(), !readerGone);
        }
        CloseHandle(writeEnd);
        if (readerGone) continue;
        char buffer[64];
        DWORD read = 0;
        std::string got;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) got.append(buffer, read);
        CloseHandle(readEnd);
        EXPECT_EQ(got, "caf\xE9\n\x82\n\x01\x00\xFF"s);
    }
}

// The console of this process, or one made for the test's length. The test runner's own
// output stays where it goes (a pipe under ctest), and so do the standard handles children
// inherit.
class TestConsole {
public:
    TestConsole() {
        for (int i = 0; i < 3; ++i) saved_[i] = GetStdHandle(kStd[i]);
        output_ = openOutput();
        if (output_ == INVALID_HANDLE_VALUE) {
            // No console, or one without a screen (Wine gives a program started without a
            // terminal such a one): a console of our own, in its place.
            FreeConsole();
            allocated_ = AllocConsole() != FALSE;
            output_ = openOutput();
        }
        savedCodePage_ = GetConsoleOutputCP();
    }
    ~TestConsole() {
        if (savedCodePage_) SetConsoleOutputCP(savedCodePage_);
        if (output_ != INVALID_HANDLE_VALUE) CloseHandle(output_);
        if (allocated_) FreeConsole();
        for (int i = 0; i < 3; ++i) SetStdHandle(kStd[i], saved_[i]);
    }
    TestConsole(const TestConsole&) = delete;
    TestConsole& operator=(const TestConsole&) = delete;
    HANDLE output() const { return output_; }
    // The characters the console shows from `at` on.
    std::wstring shown(COORD at, size_t length) const {
        std::wstring text(length, L'\0');
        DWORD read = 0;
        if (!ReadConsoleOutputCharacterW(output_, &text[0], static_cast<DWORD>(length), at, &read))
            return L"(unread)";
        text.resize(read);
        return text;
    }
    COORD cursor() const {
        CONSOLE_SCREEN_BUFFER_INFO info{};
        GetConsoleScreenBufferInfo(output_, &info);
        return info.dwCursorPosition;
    }

private:
    static HANDLE openOutput() {
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    }
    static constexpr DWORD kStd[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    HANDLE saved_[3];
    bool allocated_ = false;
    HANDLE output_ = INVALID_HANDLE_VALUE;
    UINT savedCodePage_ = 0;
};

// On a console the text shows as its characters whatever the console's code page: here the
// OEM United States one, where the ANSI bytes written as they are would show other letters
// (0xE9 as a theta, 0x80 as C cedilla).
TEST(ClientOutput, AConsoleShowsTheCharacters) {
    TestConsole console;
    ASSERT_NE(console.output(), INVALID_HANDLE_VALUE) << "no console";
    ASSERT_TRUE(SetConsoleOutputCP(437));
    HandleStream stream(console.output());
    ASSERT_TRUE(stream.get());
    ClientStream out(stream.get(), console.output());
    EXPECT_TRUE(out.isConsole());
    for (const TextCase& c : kTexts) {
        out.writeText("\n", c.codePage);
        COORD at = console.cursor();
        out.writeText(c.bytes, c.codePage);
        EXPECT_EQ(console.shown(at, c.text.size()), c.text) << c.name;
    }
    EXPECT_TRUE(out.finish());
    out.writeText("x", 12345);
    EXPECT_FALSE(out.finish()) << "text in a code page Windows does not know is lost, and said to be";
}

}  // namespace
}  // namespace kalverin
