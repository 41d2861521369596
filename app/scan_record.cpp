#include "app/scan_record.h"

#include "pop3/md5.h"

std::string HeaderDigest(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string bytes;
    bytes.reserve(size);
    for (const std::string& line : lines) bytes.append(line).append("\r\n");
    return TIdHashMessageDigest5::AsHex(TIdHashMessageDigest5::HashValue(bytes));
}
