#include "platform/temp_file_stream.h"

#include <unistd.h>

#include <cerrno>

#include "platform/temp_file.h"

TempFileStream::Buffer::Buffer(int fd) : fd_(fd) { setp(bytes_.data(), bytes_.data() + bytes_.size()); }

bool TempFileStream::Buffer::Flush() {
    const char* from = pbase();
    while (from < pptr() && !failed_) {
        ssize_t n = ::write(fd_, from, static_cast<std::size_t>(pptr() - from));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            failed_ = true;
        else
            from += n;
    }
    setp(bytes_.data(), bytes_.data() + bytes_.size());
    return !failed_;
}

TempFileStream::Buffer::int_type TempFileStream::Buffer::overflow(int_type c) {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int TempFileStream::Buffer::Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

TempFileStream::TempFileStream(std::string_view directory)
    : std::ostream(nullptr), buffer_(OpenNewTempFile(directory, path_)) {
    rdbuf(&buffer_);
}

TempFileStream::~TempFileStream() {
    int fd = buffer_.Release();
    if (fd < 0) return;
    // Never finished: a cut file (an interrupted or failed reception) that
    // nothing names.
    ::close(fd);
    RemoveTempFile(path_);
}

bool TempFileStream::Finish() {
    bool ok = buffer_.Flush();
    int fd = buffer_.Release();
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok) setstate(std::ios::badbit);
    return ok;
}
