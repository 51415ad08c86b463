// A text buffer with a fixed capacity in characters (the terminator not counted).
// Appends past the capacity are cut there; nothing is ever written beyond it.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace kalverin {

class TextBuffer {
public:
    explicit TextBuffer(size_t capacity) : capacity_(capacity) {
        text_.reserve(capacity < 1024 ? capacity : 1024);
    }

    void clear() {
        text_.clear();
        truncated_ = false;
    }
    // Appends what fits; returns false when something had to be cut.
    bool append(std::string_view s) {
        size_t room = capacity_ - text_.size();
        if (s.size() > room) {
            text_.append(s.data(), room);
            truncated_ = true;
            return false;
        }
        text_.append(s.data(), s.size());
        return true;
    }
    bool append(char c) { return append(std::string_view(&c, 1)); }

    const std::string& str() const { return text_; }
    const char* c_str() const { return text_.c_str(); }
    size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    size_t capacity() const { return capacity_; }
    bool full() const { return text_.size() >= capacity_; }
    bool truncated() const { return truncated_; }

private:
    size_t capacity_;
    std::string text_;
    bool truncated_ = false;
};

}  // namespace kalverin
