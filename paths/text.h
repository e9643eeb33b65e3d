#pragma once
// An owned, growable 8-bit text. The program's strings are built by
// concatenation; this type does that with malloc alone, so the program file
// carries none of the C++ library's string and exception machinery (which
// would more than double its size). Out of memory ends the process, as an
// unhandled allocation failure would.
#include <cstddef>

class Text {
public:
    Text() = default;
    Text(const char* text);  // NOLINT: converts like a string literal; null reads as empty
    Text(const char* text, size_t length);
    Text(const Text& other);
    Text(Text&& other) noexcept;
    Text& operator=(const Text& other);
    Text& operator=(Text&& other) noexcept;
    ~Text();

    const char* c_str() const { return data_ ? data_ : ""; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    char back() const { return data_[size_ - 1]; }
    char operator[](size_t index) const { return data_[index]; }
    void pop_back() { data_[--size_] = '\0'; }

    Text& append(const char* text, size_t length);
    Text& operator+=(const char* text);
    Text& operator+=(const Text& text) { return append(text.c_str(), text.size()); }
    Text& operator+=(char c) { return append(&c, 1); }

    // Sets the length (new characters are undefined until written) and returns
    // the buffer, which holds length + 1 characters; for Windows calls that
    // fill a buffer.
    char* resize(size_t length);

private:
    void reserve(size_t length);

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;  // characters, not counting the terminator
};

Text operator+(Text left, const char* right);
Text operator+(Text left, const Text& right);
bool operator==(const Text& a, const char* b);
inline bool operator==(const Text& a, const Text& b) { return a == b.c_str(); }
inline bool operator!=(const Text& a, const char* b) { return !(a == b); }
inline bool operator!=(const Text& a, const Text& b) { return !(a == b); }
