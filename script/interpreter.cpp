#include "script/interpreter.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "script/number_words.h"

namespace kalverin {

namespace {

// One open group. Every block's text is appended to the end of its parent's text, so the
// texts of all open blocks lie back to back in one buffer and a block is just the offset at
// which its text starts: inserting a finished block costs nothing, dropping a failed one is a
// truncation. Frames beyond the usual depth live on the heap, so depth costs a few bytes per
// level and never the call stack.
struct Frame {
    size_t start;  // offset of this block's text in the shared buffer
    char command;  // '*', '^', '<', '>' (0 for the outermost block)
    bool failed;
};

// The open frames. The nesting of ordinary texts (the built-in one is five deep) fits in room
// inside the renderer, and only deeper nesting goes on to a vector. A vector for all of them,
// even on a buffer of its own through a memory resource, cost every rendering about 5 % in
// setting up and tearing down.
class FrameStack {
public:
    void push(const Frame& frame) {
        if (size_ < kUsualDepth)
            usual_[size_] = frame;
        else
            deeper_.push_back(frame);
        ++size_;
    }
    void pop() {
        if (--size_ >= kUsualDepth) deeper_.pop_back();
    }
    Frame& back() { return size_ <= kUsualDepth ? usual_[size_ - 1] : deeper_.back(); }
    Frame& front() { return usual_[0]; }
    size_t size() const { return size_; }

private:
    static constexpr size_t kUsualDepth = 32;
    Frame usual_[kUsualDepth];
    std::vector<Frame> deeper_;
    size_t size_ = 0;
};

// The rendering so far, holding at most `limit` characters: what goes beyond is dropped as it
// comes. Short renderings never touch the heap.
class ScratchText {
public:
    explicit ScratchText(size_t limit) : limit_(limit) {}

    void put(const char* s, size_t n) {
        size_t room = limit_ - size_;
        if (n > room) n = room;
        if (size_ + n > capacity_) grow(size_ + n);
        // Most pieces are a few characters: a plain loop beats a call to memcpy for them.
        char* to = data_ + size_;
        if (n <= 16) {
            for (size_t i = 0; i < n; ++i) to[i] = s[i];
        } else {
            std::memcpy(to, s, n);
        }
        size_ += n;
    }
    void put(char c) {
        if (size_ == limit_) return;
        if (size_ == capacity_) grow(size_ + 1);
        data_[size_++] = c;
    }
    void truncate(size_t size) { size_ = size; }
    size_t size() const { return size_; }
    char& operator[](size_t i) { return data_[i]; }
    std::string_view view() const { return std::string_view(data_, size_); }

private:
    void grow(size_t need) {
        size_t capacity = capacity_ * 2 > need ? capacity_ * 2 : need;
        if (capacity > limit_) capacity = limit_;
        std::unique_ptr<char[]> bigger(new char[capacity]);
        std::memcpy(bigger.get(), data_, size_);
        heap_ = std::move(bigger);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    size_t limit_;
    char inline_[1024];
    std::unique_ptr<char[]> heap_;
    char* data_ = inline_;
    size_t size_ = 0;
    size_t capacity_ = sizeof inline_;
};

enum class Kind { numeric, money, name, unknown };

struct Variable {
    Kind kind;
    int32_t value;
};

Variable lookUp(unsigned char letter, const QuitStatistics& s) {
    switch (letter) {
        case 'Y':
            return {Kind::numeric, s.years};
        case 'M':
            return {Kind::numeric, s.months};
        case 'W':
            return {Kind::numeric, s.weeks};
        case 'D':
            return {Kind::numeric, s.days};
        case 'h':
            return {Kind::numeric, s.hours};
        case 'm':
            return {Kind::numeric, s.minutes};
        case 's':
            return {Kind::numeric, s.seconds};
        case 'C':
            return {Kind::numeric, s.notSmoked};
        case 'U':
            return {Kind::numeric, s.lifeSavedYears};
        case 'I':
            return {Kind::numeric, s.lifeSavedWeeks};
        case 'O':
            return {Kind::numeric, s.lifeSavedDays};
        case 'j':
            return {Kind::numeric, s.lifeSavedHours};
        case 'k':
            return {Kind::numeric, s.lifeSavedMinutes};
        case 'l':
            return {Kind::numeric, s.lifeSavedSeconds};
        case '$':
            return {Kind::money, 0};
        case 'N':
            return {Kind::name, 0};
        default:
            return {Kind::unknown, 0};
    }
}

class Renderer {
public:
    Renderer(ScriptContext& context, size_t budget)
        : context_(context),
          // One character beyond the room left in the output: whatever survives past the room
          // shows the caller that the rendering was cut (the output buffer marks it truncated).
          // Each open block's share is what its enclosing blocks have left, so however deep the
          // nesting, all scratch text together stays within this limit, and the buffer holds
          // exactly the first characters of what an unbounded rendering would hold.
          text_(budget < SIZE_MAX ? budget + 1 : budget) {}

    void run(const char* p, TextBuffer& out);

private:
    void put(std::string_view s) { text_.put(s.data(), s.size()); }
    void put(char c) { text_.put(c); }

    void fail() { frames_.back().failed = true; }
    void openGroup(char command) { frames_.push(Frame{text_.size(), command, false}); }
    void closeGroup();
    void insertVariable(unsigned char letter, bool dropZero);
    void insertNumber(int32_t value, bool dropZero);
    void plural(unsigned char letter, unsigned char option);

    ScriptContext& context_;
    ScratchText text_;
    FrameStack frames_;
};

void Renderer::closeGroup() {
    Frame block = frames_.back();
    frames_.pop();
    // A block that started past the limit has nothing in the buffer; its offset is then the
    // limit itself, which the truncation and the capital letter below both respect.
    if (block.failed) text_.truncate(block.start);
    switch (block.command) {
        case '^':
            if (block.failed) {
                fail();
            } else if (block.start < text_.size()) {
                char& first = text_[block.start];
                if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
            }
            break;
        case '<':
            if (context_.stats.direction == 1) fail();
            break;
        case '>':
            if (context_.stats.direction == -1) fail();
            break;
        default:
            break;
    }
}

void Renderer::insertNumber(int32_t value, bool dropZero) {
    char digits[24];  // 10 digits at most; the rest keeps the copy of a short piece provably in bounds
    if (value < 0) {
        // Counts of a quit still ahead are negative; they are written as figures without
        // their sign, words or not. The widening keeps -2147483648 exact.
        uint32_t magnitude = 0u - static_cast<uint32_t>(value);
        auto r = std::to_chars(digits, digits + sizeof digits, magnitude);
        put(std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
        return;
    }
    if (value == 0 && dropZero) {
        fail();
        return;
    }
    if (context_.state.wordsMode == 1) {
        // Zero in words is no text at all.
        char words[kNumberWordsMax];
        put(std::string_view(words, numberWords(words, static_cast<uint32_t>(value))));
        return;
    }
    auto r = std::to_chars(digits, digits + sizeof digits, value);
    put(std::string_view(digits, static_cast<size_t>(r.ptr - digits)));
}

void Renderer::insertVariable(unsigned char letter, bool dropZero) {
    Variable v = lookUp(letter, context_.stats);
    switch (v.kind) {
        case Kind::numeric:
            insertNumber(v.value, dropZero);
            break;
        case Kind::money:
            put(formatMoney(context_.stats.moneySaved, context_.currency));
            break;
        case Kind::name:
            put(context_.record.userName);
            break;
        case Kind::unknown:
            put("<SCRIPT ERROR: '");
            put(static_cast<char>(letter));
            put("'>");
            break;
    }
}

void Renderer::plural(unsigned char letter, unsigned char option) {
    std::string& suffix = context_.state.pluralSuffix;
    if ((option == 'l' || option == 'L') && !(suffix.size() == 1 && suffix[0] == 's')) suffix = "s";
    int32_t value;
    if (letter == 'p' || letter == 0xA3) {
        value = 0;  // these two stand for a count that is always zero: always plural
    } else {
        Variable v = lookUp(letter, context_.stats);
        if (v.kind != Kind::numeric) return;
        value = v.value;
    }
    // Signed comparison: a count of -1 (one unit ahead) takes the suffix too.
    if (value != 1) put(suffix);
}

// The characters that end a run of plain text.
struct SpecialTable {
    bool special[256] = {};
    constexpr SpecialTable() {
        special[0] = special[static_cast<unsigned char>('\\')] = true;
        special[static_cast<unsigned char>('{')] = special[static_cast<unsigned char>('}')] = true;
    }
};
constexpr SpecialTable kSpecial;

bool isOrdinary(char c) {
    return !kSpecial.special[static_cast<unsigned char>(c)];
}

void Renderer::run(const char* p, TextBuffer& out) {
    frames_.push(Frame{0, 0, false});
    for (;;) {
        const char c = *p;
        if (c == '\0') break;
        if (c == '\\') {
            // The escaped character, whatever it is; a backslash at the very end escapes
            // nothing and the source ends there.
            if (p[1] == '\0') break;
            put(p[1]);
            p += 2;
            continue;
        }
        if (c == '}') {
            if (frames_.size() == 1) {
                // A closing brace in the outermost block ends the whole source here; a failed
                // outermost block then delivers nothing.
                if (!frames_.front().failed) out.append(text_.view());
                return;
            }
            closeGroup();
            ++p;  // the group's own closing brace is the character skipped after a command
            continue;
        }
        if (c != '{') {
            const char* run = p;
            while (isOrdinary(*p)) ++p;
            put(std::string_view(run, static_cast<size_t>(p - run)));
            continue;
        }

        const char command = p[1];
        if (command == '\0') break;
        const char* q = p + 2;  // where the command stops reading
        // A command cut off by the end of the source before its letters are complete does
        // nothing; the loop then stops at the terminator.
        switch (command) {
            case 'A':
                context_.state.wordsMode = 1;
                break;
            case '1':
                context_.state.wordsMode = 0;
                break;
            case '+':
            case '-':
                if (*q == '\0') {
                    p = q;
                    continue;
                }
                // A closing brace in the letter's place is left unread: it becomes the
                // skipped character, so {+} and {-} insert nothing.
                if (*q != '}') {
                    insertVariable(static_cast<unsigned char>(*q), command == '-');
                    ++q;
                }
                break;
            case '#':
                if (q[0] == '\0' || q[1] == '\0') {
                    p = q[0] == '\0' ? q : q + 1;
                    continue;
                }
                plural(static_cast<unsigned char>(q[0]), static_cast<unsigned char>(q[1]));
                q += 2;
                break;
            case '*':
            case '^':
            case '<':
            case '>':
                // The body is read as a block of its own; its closing brace ends it (above).
                openGroup(command);
                p = q;
                continue;
            default:
                break;  // no such command: nothing happens
        }
        // Every command is followed by exactly one skipped character, in well-formed text its
        // closing brace. The end of the source is never skipped over.
        if (*q == '\0') break;
        p = q + 1;
    }
    // The source ended inside some groups: the end closes each of them as its closing brace
    // would have, innermost first, so their text, capitals and failures count as written.
    // The outermost block is delivered even when it failed.
    while (frames_.size() > 1) closeGroup();
    out.append(text_.view());
}

}  // namespace

void renderScript(const char* source, TextBuffer& out, ScriptContext& context) {
    if (source == nullptr) return;
    size_t room = out.capacity() > out.size() ? out.capacity() - out.size() : 0;
    Renderer renderer(context, room);
    renderer.run(source, out);
}

}  // namespace kalverin
