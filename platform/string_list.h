#pragma once
// An ordered list of text lines: unsorted, duplicates allowed, indexed from 0.
// The header lists, message bodies and other line collections build on it.
#include <string>
#include <string_view>
#include <vector>

#include "platform/id_exception.h"

// An index outside the list. Message: "Indice de liste hors limites (<index>)".
class EListError : public EIdException {
public:
    explicit EListError(int index);
    VANNOIR_ERROR_KIND(Other)
};
VANNOIR_LIST_ERROR(EListError, 1);

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines) : lines_(lines) {}
    virtual ~TStringList() = default;
    TStringList(const TStringList&) = default;
    TStringList& operator=(const TStringList&) = default;
    TStringList(TStringList&&) = default;
    TStringList& operator=(TStringList&&) = default;

    int Count() const { return static_cast<int>(lines_.size()); }
    // Line at `index`; throws EListError outside 0..Count()-1.
    const std::string& operator[](int index) const;
    const std::string& Strings(int index) const { return (*this)[index]; }
    // Replaces line `index`; throws EListError outside 0..Count()-1.
    void Put(int index, std::string line);
    // Appends a line and returns its index.
    int Add(std::string line);
    // Inserts before `index` (Count() appends); throws EListError outside 0..Count().
    void Insert(int index, std::string line);
    // Removes line `index`; throws EListError outside 0..Count()-1.
    void Delete(int index);
    void Clear() { lines_.clear(); }
    // Copies the lines only (not any settings of a derived list).
    void Assign(const TStringList& other) { lines_ = other.lines_; }
    void AddStrings(const TStringList& other);
    // Every line followed by CR LF.
    std::string Text() const;
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    void Check(int index, int limit) const;
    std::vector<std::string> lines_;
};
