#include "paths/text.h"

#include <cstdlib>
#include <cstring>

Text::Text(const char* text) {
    if (text) append(text, strlen(text));
}

Text::Text(const char* text, size_t length) {
    append(text, length);
}

Text::Text(const Text& other) {
    append(other.c_str(), other.size());
}

Text::Text(Text&& other) noexcept : data_(other.data_), size_(other.size_), capacity_(other.capacity_) {
    other.data_ = nullptr;
    other.size_ = other.capacity_ = 0;
}

Text& Text::operator=(const Text& other) {
    if (this != &other) {
        size_ = 0;
        append(other.c_str(), other.size());
    }
    return *this;
}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        free(data_);
        data_ = other.data_;
        size_ = other.size_;
        capacity_ = other.capacity_;
        other.data_ = nullptr;
        other.size_ = other.capacity_ = 0;
    }
    return *this;
}

Text::~Text() {
    free(data_);
}

void Text::reserve(size_t length) {
    if (data_ && length <= capacity_) return;
    size_t capacity = capacity_ * 2 > length ? capacity_ * 2 : length;
    char* grown = static_cast<char*>(realloc(data_, capacity + 1));
    if (!grown) abort();
    data_ = grown;
    capacity_ = capacity;
}

Text& Text::append(const char* text, size_t length) {
    // `text` may point into this text itself, which reserve may move.
    bool own = data_ && text >= data_ && text <= data_ + size_;
    size_t offset = own ? static_cast<size_t>(text - data_) : 0;
    reserve(size_ + length);
    if (own) text = data_ + offset;
    if (length) memmove(data_ + size_, text, length);
    size_ += length;
    data_[size_] = '\0';
    return *this;
}

Text& Text::operator+=(const char* text) {
    return text ? append(text, strlen(text)) : *this;
}

char* Text::resize(size_t length) {
    reserve(length);
    size_ = length;
    data_[size_] = '\0';
    return data_;
}

Text operator+(Text left, const char* right) {
    left += right;
    return left;
}

Text operator+(Text left, const Text& right) {
    left += right;
    return left;
}

bool operator==(const Text& a, const char* b) {
    if (!b) b = "";
    return strlen(b) == a.size() && memcmp(a.c_str(), b, a.size()) == 0;
}
