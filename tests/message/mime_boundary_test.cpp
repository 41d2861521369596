#include "message/mime_boundary.h"

#include <gtest/gtest.h>

#include "platform/string_list.h"

namespace {

auto byName = [](const auto& info) { return std::string(info.param.name); };

struct BoundaryCase {
    const char* name;
    std::string contentType;
    std::string boundary;
};
const BoundaryCase kBoundaries[] = {
    {"quoted_gives_text_between_quotes", "multipart/alternative; boundary=\"b1\"", "B1"},
    {"quoted_then_parameter", "multipart/mixed; boundary=\"=_abc\"; x=y", "=_ABC"},
    {"unquoted_keeps_later_parameters", "multipart/mixed; boundary=abc; x=y", "ABC; X=Y"},
    {"unquoted_at_end", "multipart/mixed; boundary=----=_Part_1", "----=_PART_1"},
    {"name_in_any_case", "Multipart/Mixed; BoUnDaRy=\"x\"", "X"},
    {"missing_closing_quote_runs_to_end", "multipart/mixed; boundary=\"abc", "ABC"},
    {"empty_quotes", "multipart/mixed; boundary=\"\"", ""},
    {"no_boundary_parameter", "text/plain; charset=us-ascii", ""},
    {"blank_before_equals_not_found", "multipart/mixed; boundary =abc", ""},
    {"only_lone_quote", "multipart/mixed; boundary=\"", ""},
    {"first_boundary_wins", "multipart/mixed; boundary=a; boundary=b", "A; BOUNDARY=B"},
    {"high_bytes_kept", "multipart/mixed; boundary=\"caf\xE9\xFF\"", "CAF\xE9\xFF"},
    {"empty_content_type", "", ""},
};
class BoundaryFromContentType : public testing::TestWithParam<BoundaryCase> {};
TEST_P(BoundaryFromContentType, TakesTheParameterUpperCased) {
    EXPECT_EQ(TIdMIMEBoundary::BoundaryFromContentType(GetParam().contentType), GetParam().boundary);
}
INSTANTIATE_TEST_SUITE_P(Table, BoundaryFromContentType, testing::ValuesIn(kBoundaries), byName);

struct PushCase {
    const char* name;
    std::vector<std::string> pushes;
    std::vector<std::string> stack;  // top first
};
const PushCase kPushes[] = {
    {"push_puts_on_top", {"A", "B"}, {"B", "A"}},
    {"same_as_current_ignoring_case_is_not_pushed", {"ABC", "abc"}, {"ABC"}},
    {"same_as_a_lower_one_is_pushed", {"A", "B", "A"}, {"A", "B", "A"}},
    {"empty_is_never_pushed", {"A", ""}, {"A"}},
    {"empty_on_empty_stack", {""}, {}},
    {"stored_as_given", {"abc"}, {"abc"}},
    {"accented_capital_matches_small", {"\xC9T\xC9", "\xE9t\xE9"}, {"\xC9T\xC9"}},
};
class PushBoundary : public testing::TestWithParam<PushCase> {};
TEST_P(PushBoundary, BuildsTheStack) {
    TIdMIMEBoundary stack;
    for (const std::string& b : GetParam().pushes) stack.PushBoundary(b);
    std::vector<std::string> seen;
    while (stack.Count() > 0) {
        seen.push_back(stack.CurrentBoundary());
        stack.PopBoundary();
    }
    EXPECT_EQ(seen, GetParam().stack);
}
INSTANTIATE_TEST_SUITE_P(Table, PushBoundary, testing::ValuesIn(kPushes), byName);

TEST(MIMEBoundary, EmptyStackHasEmptyCurrentAndPopFailsWithIndexError) {
    TIdMIMEBoundary stack;
    EXPECT_EQ(stack.CurrentBoundary(), "");
    try {
        stack.PopBoundary();
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "Indice de liste hors limites (0)");
    }
}

TEST(MIMEBoundary, ClearEmptiesTheStack) {
    TIdMIMEBoundary stack;
    stack.PushBoundary("A");
    stack.PushBoundary("B");
    stack.ClearBoundaries();
    EXPECT_EQ(stack.Count(), 0);
    EXPECT_EQ(stack.CurrentBoundary(), "");
}

}  // namespace
