#include "platform/string_list.h"

#include "platform/text.h"
#include "platform/text_lines.h"

EListError::EListError(int index)
    : EIdException(std::string("Indice de liste hors limites (") + IntToStr(index) + ")") {}

void TStringList::Check(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(index);
}

const std::string& TStringList::operator[](int index) const {
    Check(index, Count());
    return lines_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, std::string line) {
    Check(index, Count());
    lines_[static_cast<std::size_t>(index)] = std::move(line);
}

int TStringList::Add(std::string line) {
    lines_.push_back(std::move(line));
    return Count() - 1;
}

void TStringList::Insert(int index, std::string line) {
    Check(index, Count() + 1);
    lines_.insert(lines_.begin() + index, std::move(line));
}

void TStringList::Delete(int index) {
    Check(index, Count());
    lines_.erase(lines_.begin() + index);
}

void TStringList::AddStrings(const TStringList& other) {
    std::vector<std::string> copy = other.lines_;  // `other` may be this very list
    lines_.insert(lines_.end(), copy.begin(), copy.end());
}

std::string TStringList::Text() const { return JoinCrLfLines(lines_); }
