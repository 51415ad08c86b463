#include "model/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/ascii_case.h"

namespace kalverin {
namespace {

// The integer reader sees at most this many characters of a value (its buffer is 30
// characters with the terminator), so longer digit strings are cut, not wrapped further.
constexpr size_t kIntDigitsSeen = 29;

std::string_view trimmedView(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && isProfileSpace(text[begin])) ++begin;
    while (end > begin && isProfileSpace(text[end - 1])) --end;
    return std::string_view(text.data() + begin, end - begin);
}

// The first line of a name or value, as profileLine cuts it.
std::string_view firstLine(const char* text) {
    return text ? std::string_view(text, std::strcspn(text, "\r\n")) : std::string_view();
}

// What is written for a name or a value: the platform drops the blanks in front but keeps
// those behind (they vanish when the file is read again).
std::string_view writtenForm(const char* text) {
    std::string_view line = firstLine(text);
    size_t begin = 0;
    while (begin < line.size() && isProfileSpace(line[begin])) ++begin;
    return line.substr(begin);
}

// Names asked for are compared without their surrounding blanks, as names in the file are.
std::string_view lookupName(const char* text) {
    return trimmedView(firstLine(text));
}

// One meaningful line of the file. Blank lines carry nothing and are not kept: the file is
// written back the way the platform's writer does, one trimmed line per entry. Every line
// that is not a section header is a key, those without "=" (comments among them) keys
// without a value: they are found by name, read as missing, and take a value when written.
struct Entry {
    enum class Kind { section, key } kind = Kind::key;
    std::string name;
    std::string value;
    bool hasValue = false;
};

// An entry as found in the text, before anything is copied out of it.
struct Line {
    Entry::Kind kind = Entry::Kind::key;
    std::string_view name;
    std::string_view value;
    bool hasValue = false;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool startsWithByteOrderMark(std::string_view text) {
    return text.substr(0, kByteOrderMark.size()) == kByteOrderMark;
}

// Hands every meaningful line of `bytes` to `take`, in order.
template <typename Take>
void scanLines(const std::string& bytes, Take take) {
    bool afterNamelessKey = false;
    // An editor that saves "UTF-8 with BOM" puts the mark in front of the first section's
    // header, which would then read as a key: the mark is passed over (and not written back,
    // as the file holds text of the ANSI code page).
    size_t pos = startsWithByteOrderMark(bytes) ? 3 : 0;
    size_t cr = 0, lf = 0;
    bool first = true;
    while (pos < bytes.size()) {
        // A line ends at a line feed or a lone carriage return alike. The next of each is
        // looked for only once passed, so that a file of one kind of break is read once.
        if (cr < pos || first) cr = bytes.find('\r', pos);
        if (lf < pos || first) lf = bytes.find('\n', pos);
        first = false;
        size_t end = std::min({cr, lf, bytes.size()});
        // A zero byte ends the text of a line.
        const void* zero = std::memchr(bytes.data() + pos, '\0', end - pos);
        size_t textEnd = zero ? static_cast<size_t>(static_cast<const char*>(zero) - bytes.data()) : end;
        std::string_view text = trimmedView(std::string_view(bytes).substr(pos, textEnd - pos));
        pos = end + 1;
        if (text.empty()) continue;
        Line line;
        // Only a line starting with '[' is searched for its ']' (values run to kilobytes).
        size_t close = text[0] == '[' ? text.rfind(']') : std::string_view::npos;
        if (close != std::string_view::npos) {
            line.kind = Entry::Kind::section;
            line.name = trimmedView(text.substr(1, close - 1));
        } else if (size_t equals = text.find('='); equals != std::string_view::npos) {
            line.name = trimmedView(text.substr(0, equals));
            line.value = trimmedView(text.substr(equals + 1));
            line.hasValue = true;
            // The platform's reader drops a key without a name that directly follows another
            // one; doing the same keeps both readers (and writers) in step.
            if (line.name.empty() && afterNamelessKey) continue;
        } else {
            line.name = text;
        }
        afterNamelessKey = line.kind == Entry::Kind::key && line.name.empty();
        take(line);
    }
}

std::vector<Entry> parse(const std::string& bytes) {
    std::vector<Entry> entries;
    scanLines(bytes, [&entries](const Line& line) {
        entries.push_back({line.kind, std::string(line.name), std::string(line.value), line.hasValue});
    });
    return entries;
}

// Whether `bytes` parse to these very entries: text rendered from them usually does, and the
// entries then serve as they are.
bool parsesTo(const std::string& bytes, const std::vector<Entry>& entries) {
    size_t count = 0;
    bool same = true;
    scanLines(bytes, [&](const Line& line) {
        same = same && count < entries.size() && entries[count].kind == line.kind &&
               entries[count].name == line.name && entries[count].value == line.value &&
               entries[count].hasValue == line.hasValue;
        ++count;
    });
    return same && count == entries.size();
}

std::string render(const std::vector<Entry>& entries) {
    size_t length = 0;
    for (const Entry& entry : entries) length += entry.name.size() + entry.value.size() + 4;
    std::string out;
    out.reserve(length + 2);
    // A first key whose name starts with the mark's bytes (behind a blank when it was read)
    // would read back as a mark and what follows: an empty line keeps it the key it is.
    if (!entries.empty() && entries.front().kind == Entry::Kind::key &&
        startsWithByteOrderMark(entries.front().name))
        out += "\r\n";
    for (const Entry& entry : entries) {
        if (entry.kind == Entry::Kind::section) {
            out += '[';
            out += entry.name;
            out += ']';
        } else {
            out += entry.name;
            if (entry.hasValue) {
                out += '=';
                out += entry.value;
            }
        }
        out += "\r\n";
    }
    return out;
}

// A name as sameName sees it.
std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = asciiLower(c);
    return out;
}

// The lines, and where the first section of each name starts: a read then passes over the
// lines of one section only, not over the whole file.
struct Lines {
    std::vector<Entry> entries;
    std::unordered_map<std::string, size_t> firstSection;  // folded name -> its header's index

    explicit Lines(std::vector<Entry> parsed) : entries(std::move(parsed)) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].kind == Entry::Kind::section) firstSection.emplace(folded(entries[i].name), i);
    }

    // Index of the first section of that name, or entries.size().
    size_t findSection(const char* section) const {
        auto found = firstSection.find(folded(lookupName(section)));
        return found == firstSection.end() ? entries.size() : found->second;
    }
};

// Like the platform, only the first section of a name is searched, and the first key in it.
// The entries of a section are walked by pointer: a pass runs for every key read or
// written.
const Entry* findKey(const Lines& lines, const char* section, const char* key) {
    const size_t at = lines.findSection(section);
    if (at == lines.entries.size()) return nullptr;
    const std::string_view name = lookupName(key);
    const Entry* entry = lines.entries.data() + at + 1;
    const Entry* const end = lines.entries.data() + lines.entries.size();
    for (; entry != end && entry->kind == Entry::Kind::key; ++entry)
        if (sameName(entry->name, name)) return entry;
    return nullptr;
}

// A value in matching single or double quotes reads without them.
std::string_view unquoted(std::string_view value) {
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

int digitIn(char c, unsigned base) {
    int digit = hexDigit(c);
    return digit >= 0 && static_cast<unsigned>(digit) < base ? digit : -1;
}

}  // namespace

unsigned parseProfileInt(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    unsigned base = 10;
    if (i + 1 < value.size() && value[i] == '0') {
        char prefix = asciiLower(value[i + 1]);
        if (prefix == 'x') base = 16;
        if (prefix == 'o') base = 8;
        if (prefix == 'b') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t result = 0;  // wraps modulo 2^32 as the platform's reader does
    for (; i < value.size(); ++i) {
        int digit = digitIn(value[i], base);
        if (digit < 0) break;
        result = result * base + static_cast<uint32_t>(digit);
    }
    return negative ? 0u - result : result;
}

namespace {

// A stored text is mostly the zeros behind it: its digits are passed over eight zero bytes,
// sixteen '0' digits, at a time.
constexpr size_t kWord = sizeof(uint64_t);
constexpr uint64_t kZeroDigits = 0x3030303030303030u;  // "00000000"

bool zeroWord(const unsigned char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, kWord);
    return word == 0;
}

bool zeroDigits(const unsigned char* digits) {
    uint64_t first, second;
    std::memcpy(&first, digits, kWord);
    std::memcpy(&second, digits + kWord, kWord);
    return first == kZeroDigits && second == kZeroDigits;
}

// Hands `each` the index of every byte but those in whole words that `zero` finds to be zeros.
template <typename Zero, typename Each>
void eachOutsideZeroWords(size_t size, Zero zero, Each each) {
    const size_t words = size - size % kWord;
    for (size_t at = 0; at < words; at += kWord)
        if (!zero(at))
            for (size_t i = at; i < at + kWord; ++i) each(i);
    for (size_t i = words; i < size; ++i) each(i);
}

}  // namespace

std::string encodeProfileStruct(const void* area, size_t size) {
    static const char kHex[] = "0123456789ABCDEF";
    const unsigned char* bytes = static_cast<const unsigned char*>(area);
    std::string text(2 * (size + 1), '0');  // zero bytes need no digits written
    char* const out = &text[0];
    unsigned sum = 0;
    auto put = [&](size_t i) {
        sum += bytes[i];
        out[2 * i] = kHex[bytes[i] >> 4];
        out[2 * i + 1] = kHex[bytes[i] & 0x0F];
    };
    eachOutsideZeroWords(
        size, [bytes](size_t at) { return zeroWord(bytes + at); }, put);
    out[2 * size] = kHex[(sum >> 4) & 0x0F];
    out[2 * size + 1] = kHex[sum & 0x0F];
    return text;
}

bool decodeProfileStruct(const std::string& text, void* area, size_t size) {
    if (text.size() != 2 * (size + 1)) return false;
    // One look-up per character: a structure value is kilobytes of digits.
    struct Digits {
        signed char of[256];
    };
    static const Digits kDigits = [] {
        Digits digits{};
        for (int c = 0; c < 256; ++c) digits.of[c] = static_cast<signed char>(hexDigit(static_cast<char>(c)));
        return digits;
    }();
    const auto* digits = reinterpret_cast<const unsigned char*>(text.data());
    auto digit = [digits](size_t at) -> int { return kDigits.of[digits[at]]; };
    auto byte = [digit](size_t i) { return digit(2 * i) * 16 + digit(2 * i + 1); };  // of valid digits
    auto zeros = [digits](size_t at) { return zeroDigits(digits + 2 * at); };
    // Checked whole before a byte is stored: a bad value leaves the area as it was.
    int bad = 0;  // negative once any character was not a digit
    unsigned sum = 0;
    eachOutsideZeroWords(size, zeros, [&](size_t i) {
        bad |= digit(2 * i) | digit(2 * i + 1);
        sum += static_cast<unsigned>(byte(i));
    });
    bad |= digit(2 * size) | digit(2 * size + 1);
    if (bad < 0 || (sum & 0xFFu) != static_cast<unsigned>(byte(size))) return false;
    auto* out = static_cast<unsigned char*>(area);
    if (size) std::memset(out, 0, size);
    eachOutsideZeroWords(size, zeros, [&](size_t i) { out[i] = static_cast<unsigned char>(byte(i)); });
    return true;
}

struct IniProfileFile::Parsed {
    std::string bytes;  // on disk: the text the lines came from
    Lines lines;
};

std::shared_ptr<const IniProfileFile::Parsed> IniProfileFile::parsed(const std::string& bytes) {
    // Byte for byte the same text parses the same: no time stamps to trust.
    if (!parsed_ || parsed_->bytes != bytes)
        parsed_ = std::make_shared<Parsed>(Parsed{bytes, Lines(parse(bytes))});
    return parsed_;
}

IniProfileFile IniProfileFile::inMemory(std::string bytes) {
    IniProfileFile file;
    file.inMemory_ = true;
    file.memory_ = std::move(bytes);
    return file;
}

void IniProfileFile::flush() {
    if (!pending_) return;
    memory_ = render(parsed_->lines.entries);
    pending_ = false;
    // The new text is read back as any text is, which is mostly as the lines stand.
    if (!parsesTo(memory_, parsed_->lines.entries)) parsed_.reset();
}

std::shared_ptr<const IniProfileFile::Parsed> IniProfileFile::memoryLines() {
    flush();
    // Only flush changes the text: the lines stay valid until then, without comparing bytes.
    if (!parsed_) parsed_ = std::make_shared<Parsed>(Parsed{std::string(), Lines(parse(memory_))});
    return parsed_;
}

const std::string& IniProfileFile::bytes() {
    flush();
    return memory_;
}

const std::string* IniProfileFile::findValue(const char* section, const char* key) {
    std::string bytes;
    if (!inMemory_ && disk_->readAll(path_, bytes) != FileRead::read) return nullptr;
    const std::shared_ptr<const Parsed> file = inMemory_ ? memoryLines() : parsed(bytes);
    const Entry* entry = findKey(file->lines, section, key);
    return entry && entry->hasValue ? &entry->value : nullptr;
}

unsigned IniProfileFile::readInt(const char* section, const char* key, unsigned fallback) {
    const std::string* found = findValue(section, key);
    if (!found) return fallback;
    std::string_view value = unquoted(*found).substr(0, kIntDigitsSeen);
    // A key with an empty value counts as missing.
    if (value.empty()) return fallback;
    return parseProfileInt(value);
}

std::string IniProfileFile::readString(const char* section, const char* key, const char* fallback,
                                       size_t maxChars) {
    std::string value;
    if (const std::string* found = findValue(section, key)) {
        value = unquoted(*found);
    } else {
        // The platform drops trailing blanks from the default.
        value = fallback ? fallback : "";
        while (!value.empty() && value.back() == ' ') value.pop_back();
    }
    if (value.size() > maxChars) value.resize(maxChars);
    return value;
}

bool IniProfileFile::readStruct(const char* section, const char* key, void* area, size_t size) {
    // Quotes are not removed here: a quoted structure value is invalid.
    const std::string* found = findValue(section, key);
    return found && decodeProfileStruct(*found, area, size);
}

namespace {

// Puts the key's new value into the lines; false when the value was there already.
// `text` is the value as it is written.
bool applyWrite(Lines& lines, const char* section, const char* key, std::string text) {
    std::vector<Entry>& entries = lines.entries;
    const std::string_view keyName = lookupName(key);

    size_t sectionAt = lines.findSection(section);
    if (sectionAt == entries.size()) {
        // Indexed by its name as it stands in the lines, which is how a pass over them would
        // compare it.
        lines.firstSection.emplace(folded(writtenForm(section)), entries.size());
        entries.push_back({Entry::Kind::section, std::string(writtenForm(section)), {}, false});
        entries.push_back({Entry::Kind::key, std::string(writtenForm(key)), std::move(text), true});
        return true;
    }
    Entry* found = nullptr;
    Entry* const last = entries.data() + entries.size();
    Entry* entry = entries.data() + sectionAt + 1;
    for (; entry != last && entry->kind == Entry::Kind::key; ++entry)
        if (!found && sameName(entry->name, keyName)) found = entry;
    const size_t end = static_cast<size_t>(entry - entries.data());
    if (found) {
        if (found->hasValue && found->value == text) return false;  // the file is left alone
        found->value = std::move(text);                             // the key keeps its spelling in the file
        found->hasValue = true;
    } else {
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(end),
                       Entry{Entry::Kind::key, std::string(writtenForm(key)), std::move(text), true});
        // The sections below have moved down a line.
        for (auto& first : lines.firstSection)
            if (first.second >= end) ++first.second;
    }
    return true;
}

}  // namespace

void IniProfileFile::writeString(const char* section, const char* key, const char* value) {
    // A line break would end the value early and turn the rest into other keys: only the
    // first line of a value (or name) is stored.
    writeValue(section, key, std::string(writtenForm(value)));
}

void IniProfileFile::writeStruct(const char* section, const char* key, const void* area, size_t size) {
    // Hex digits alone: the text is its own written form.
    writeValue(section, key, encodeProfileStruct(area, size));
}

namespace {

// Whether the lines a write leaves read back as they stand: blanks behind a name or value,
// and a key without a name, read back otherwise.
bool readsBackAsWritten(const char* section, const char* key, const std::string& text) {
    const std::string_view keyName = writtenForm(key);
    return !keyName.empty() && keyName == lookupName(key) && writtenForm(section) == lookupName(section) &&
           trimmedView(text).size() == text.size();
}

}  // namespace

void IniProfileFile::writeValue(const char* section, const char* key, std::string text) {
    if (inMemory_) {
        // On disk every write starts from the file as it reads back; so does this one when
        // the last write left lines that read back otherwise.
        if (!readsBack_) flush();
        readsBack_ = true;
        // The lines take the write in place, unless a copy of this file shares them.
        if (!parsed_) {
            parsed_ = std::make_shared<Parsed>(Parsed{std::string(), Lines(parse(memory_))});
        } else if (parsed_.use_count() > 1) {
            parsed_ = std::make_shared<Parsed>(*parsed_);
        }
        const bool readsBack = readsBackAsWritten(section, key, text);
        if (applyWrite(parsed_->lines, section, key, std::move(text))) {
            pending_ = true;
            readsBack_ = readsBack;
        }
        return;
    }
    std::string bytes;
    // A missing file is an empty one; a file that is there but cannot be read (locked,
    // unreadable) must not be replaced by one holding this key alone.
    if (disk_->readAll(path_, bytes) == FileRead::unreadable) return;
    Lines lines = parsed(bytes)->lines;
    if (applyWrite(lines, section, key, std::move(text))) store(render(lines.entries));
}

SaveResult IniProfileFile::save(const std::function<void(ProfileFile&)>& writes) {
    if (inMemory_) {
        writes(*this);
        return {};
    }
    std::string before;
    const FileRead read = disk_->readAll(path_, before);
    // A file that is there but cannot be read must not be replaced by one holding this
    // record alone: the other users' sections would go.
    if (read == FileRead::unreadable) return {false, path_, disk_->failureReason()};
    // The writes go to the text in memory as they would have gone to the file one by one
    // (the in-memory file follows the same rules), and the file is replaced once.
    IniProfileFile memory = inMemory(before);
    writes(memory);
    const std::string& after = memory.bytes();
    if (read == FileRead::read && after == before) return {};  // nothing changed: left alone
    return store(after);
}

// Replaces the file only once the new text is wholly on disk beside it: a full disk, a lost
// drive or a crash part-way leaves the previous file as it was, and no temporary file.
SaveResult IniProfileFile::store(const std::string& bytes) {
    // Written in pieces of this size, as a file is written a buffer at a time.
    constexpr size_t kPiece = 4096;
    // Without a path the temporary file would land in whatever folder is current.
    if (path_.empty()) return {false, path_, "No folder for application data was found."};
    std::string temporary;
    if (!disk_->createTemporary(path_, temporary)) return {false, path_, disk_->failureReason()};
    bool done = true;
    for (size_t at = 0; done && at < bytes.size(); at += kPiece)
        done = disk_->write(bytes.data() + at, std::min(kPiece, bytes.size() - at));
    done = done && disk_->flush() && disk_->replace(temporary, path_);
    if (done) return {};
    // The reason is taken before the clean-up's own calls can change it.
    SaveResult failed{false, path_, disk_->failureReason()};
    disk_->remove(temporary);
    return failed;
}

}  // namespace kalverin
