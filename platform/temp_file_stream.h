#pragma once
// A new temporary file, made as NewTempFile makes it, written through the
// descriptor that created it: never reopened by name, since in a shared
// folder without the sticky bit another user could swap the name for a link
// in between.
#include <array>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

class TempFileStream : public std::ostream {
public:
    // Throws EIdTempFileError when no file can be made (see NewTempFile).
    explicit TempFileStream(std::string_view directory = {});
    // Removes the file unless Finish was called.
    ~TempFileStream() override;
    TempFileStream(const TempFileStream&) = delete;
    TempFileStream& operator=(const TempFileStream&) = delete;

    // Full path of the file (system code page text).
    const std::string& Path() const { return path_; }
    // Writes what is buffered and closes the file; false when any write
    // failed (a full disk), so a cut file never passes for a whole one.
    bool Finish();

private:
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(int fd);
        bool Flush();
        int Release();

    protected:
        int_type overflow(int_type c) override;
        int sync() override { return Flush() ? 0 : -1; }

    private:
        int fd_;
        bool failed_ = false;
        std::array<char, 16384> bytes_{};
    };

    std::string path_;
    Buffer buffer_;
};
