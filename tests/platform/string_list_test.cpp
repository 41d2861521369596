#include "platform/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace {

using Lines = std::vector<std::string>;

TEST(StringList, IndexOutsideTheListThrows) {
    TStringList list{"a", "b"};
    EXPECT_THROW(list[2], EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(3, "x"), EListError);
    list.Insert(2, "c");
    list.AddStrings(list);
    EXPECT_EQ(list.Lines(), (Lines{"a", "b", "c", "a", "b", "c"}));
    try {
        list.Put(9, "x");
        FAIL();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), std::string("Indice de liste hors limites (9)"));
    }
}

}  // namespace
