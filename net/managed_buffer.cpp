#include "net/managed_buffer.h"

#include "net/net_errors.h"

std::string TIdManagedBuffer::Extract(std::size_t count) {
    if (count > Size()) throw EIdNotEnoughDataInBuffer();
    std::string bytes = data_.substr(consumed_, count);
    Remove(count);
    return bytes;
}

void TIdManagedBuffer::Remove(std::size_t count) {
    if (count > Size()) throw EIdNotEnoughDataInBuffer();
    if (count == Size()) {
        data_.clear();
        consumed_ = 0;
    } else {
        consumed_ += count;
        if (consumed_ >= CompactThreshold) {
            data_.erase(0, consumed_);
            consumed_ = 0;
        }
    }
    if (OnConsume) OnConsume(count);
}

void TIdManagedBuffer::Clear() {
    data_.clear();
    consumed_ = 0;
}
