#pragma once
// A copy of a text in a heap block of exactly its length, with no terminator,
// so that the address sanitizer catches a parser reading past the end.
#include <cstring>
#include <memory>
#include <string_view>

class ExactBuffer {
public:
    explicit ExactBuffer(std::string_view text)
        : size_(text.size()), bytes_(std::make_unique<char[]>(text.size())) {
        if (size_ > 0) std::memcpy(bytes_.get(), text.data(), size_);
    }
    std::string_view View() const { return {bytes_.get(), size_}; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> bytes_;
};
