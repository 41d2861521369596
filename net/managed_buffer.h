#pragma once
// The connection's input buffer: bytes appended at the end, consumed from the
// front. Consumed bytes are only moved out once 32768 of them have piled up,
// so reading many short lines does not copy the buffer every time.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class TIdManagedBuffer {
public:
    static constexpr std::size_t CompactThreshold = 32768;

    // Called with the count of every consumption (work progress).
    std::function<void(std::size_t)> OnConsume;

    // Unconsumed bytes.
    std::size_t Size() const { return data_.size() - consumed_; }
    std::string_view View() const { return std::string_view(data_).substr(consumed_); }
    void Append(const char* bytes, std::size_t count) { data_.append(bytes, count); }
    // Returns and consumes the first `count` bytes.
    // Throws EIdNotEnoughDataInBuffer when fewer are present.
    std::string Extract(std::size_t count);
    // Consumes `count` bytes. Throws EIdNotEnoughDataInBuffer.
    void Remove(std::size_t count);
    void Clear();
    // Bytes consumed but not yet moved out (for tests of the compaction).
    std::size_t ConsumedPrefix() const { return consumed_; }

private:
    std::string data_;
    std::size_t consumed_ = 0;
};
