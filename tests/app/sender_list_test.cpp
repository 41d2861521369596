#include "app/sender_list.h"

#include <gtest/gtest.h>

#include "message/message.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace {

using Entries = std::vector<std::string>;

struct ParseCase {
    const char* name;
    std::string bytes;
    Entries entries;
};
const ParseCase kParses[] = {
    {"crlf_ends", "Anne\r\nBruno\r\n", {"Anne", "Bruno"}},
    {"lf_alone_same_as_crlf", "Anne\nBruno\n", {"Anne", "Bruno"}},
    {"cr_alone", "Anne\rBruno", {"Anne", "Bruno"}},
    {"lf_then_cr_is_two_ends", "Anne\n\rBruno", {"Anne", "", "Bruno"}},
    {"empty_lines_are_entries", "\r\nAnne\r\n\r\n", {"", "Anne", ""}},
    {"no_final_end", "Anne", {"Anne"}},
    {"empty_file", "", {}},
    {"byte_0_ends_reading", std::string("Anne\r\nBr\0uno\r\nZo\r\n", 17), {"Anne", "Br"}},
    {"blanks_kept", " Anne  Marie \r\n", {" Anne  Marie "}},
    {"cp1252_kept", "Ren\xE9\r\n", {"Ren\xE9"}},
};
class ListParse : public testing::TestWithParam<ParseCase> {};
TEST_P(ListParse, GivesEntries) {
    std::string bytes = GetParam().bytes;
    // Fed through a file: the reading must stop where the file stops.
    ScratchFolder dir;
    PutFile(dir / "l.TXT", bytes);
    EXPECT_EQ(LoadListFile(dir / "l.TXT"), GetParam().entries);
}
INSTANTIATE_TEST_SUITE_P(Table, ListParse, testing::ValuesIn(kParses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ListFile, WritesCrLfAfterEveryEntry) {
    ScratchFolder dir;
    std::filesystem::create_directory(dir / "Liste");
    SaveListFile(dir / "Liste" / "Amis.TXT", {"Anne", "", "Ren\xE9"});
    EXPECT_EQ(FileBytes(dir / "Liste" / "Amis.TXT"), "Anne\r\n\r\nRen\xE9\r\n");
    SaveListFile(dir / "Liste" / "Amis.TXT", {});
    EXPECT_EQ(FileBytes(dir / "Liste" / "Amis.TXT"), "");
}

TEST(ListFile, MissingFileRaisesOpenError) {
    ScratchFolder dir;
    auto path = dir / "Liste" / "Amis.TXT";
    try {
        LoadListFile(path);
        FAIL();
    } catch (const EListFileOpenError& e) {
        EXPECT_EQ(e.Message(), "Impossible d'ouvrir le fichier \"" + path.string() +
                                   "\". Le fichier sp\xE9"
                                   "cifi\xE9 est introuvable.");
    }
}

TEST(ListFile, MissingFolderRaisesCreateErrorAndIsNotMade) {
    ScratchFolder dir;
    auto path = dir / "Liste" / "Intrus.TXT";
    try {
        SaveListFile(path, {"x"});
        FAIL();
    } catch (const EListFileCreateError& e) {
        EXPECT_EQ(e.Message(), Ansi("Impossible de créer le fichier \"") + path.string() + "\". " +
                                   Ansi("Le fichier spécifié est introuvable."));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Liste"));
}

struct MatchCase {
    const char* name;
    Entries entries;
    std::string sought;
    int index;
};
const MatchCase kMatches[] = {
    {"case_ignored", {"Jean Dupont"}, "JEAN DUPONT", 0},
    {"accented_capital_matches_small", {"\xC9lise"}, "\xE9lise", 0},
    {"accent_is_not_plain_letter", {"\xE9lise"}, "elise", -1},
    {"no_partial_match", {"Jean"}, "Jean Dupont", -1},
    {"no_trimming", {"Jean "}, "Jean", -1},
    {"first_of_duplicates", {"x", "Anne", "ANNE"}, "anne", 1},
    {"empty_entry_matches_empty_name", {"a", ""}, "", 1},
    {"empty_name_without_empty_entry", {"a"}, "", -1},
};
class ListMatch : public testing::TestWithParam<MatchCase> {};
TEST_P(ListMatch, FindsFirstWholeMatch) {
    SenderList list;
    list.Assign(GetParam().entries);
    EXPECT_EQ(list.IndexOf(GetParam().sought), GetParam().index);
}
INSTANTIATE_TEST_SUITE_P(Table, ListMatch, testing::ValuesIn(kMatches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SenderList, AddRefusesMatchingName) {
    SenderList list;
    EXPECT_TRUE(list.Add("Anne"));
    EXPECT_FALSE(list.Add("ANNE"));
    EXPECT_TRUE(list.Add(""));
    EXPECT_EQ(list.Entries(), (Entries{"Anne", ""}));
}

TEST(SenderList, ListBoxOrderIgnoresCaseAndKeepsTies) {
    Entries entries = {"bruno", "Anne", "\xC9lise", "anne", "Zo\xE9", "emile"};
    SortLikeListBox(entries);
    EXPECT_EQ(entries, (Entries{"Anne", "anne", "bruno", "\xC9lise", "emile", "Zo\xE9"}));
}

}  // namespace

// The list holds Windows-1252 names; senders match them whatever charset
// their From header was written in.
TEST(SenderList, MatchesSendersWrittenInAnyCharset) {
    SenderList friends;
    friends.Assign({"Anne", Ansi("HÉLÈNE Dupré")});
    const char* froms[] = {
        "=?UTF-8?Q?H=C3=A9l=C3=A8ne_Dupr=C3=A9?= <h@x.fr>",
        "=?utf-8?B?SMOpbMOobmUgRHVwcsOp?= <h@x.fr>",
        "=?ISO-8859-1?Q?H=E9l=E8ne_Dupr=E9?= <h@x.fr>",
        "=?ISO-8859-15?B?SOls6G5lIER1cHLp?= <h@x.fr>",
        "=?UTF-8?B?SMOpbA==?= =?UTF-8?B?w6huZSBEdXByw6k=?= <h@x.fr>",
        "\"H\xC3\xA9l\xC3\xA8ne Dupr\xC3\xA9\" <h@x.fr>",  // raw UTF-8
        "\"H\xE9l\xE8ne Dupr\xE9\" <h@x.fr>",              // raw Latin-1
    };
    for (const char* from : froms) {
        SCOPED_TRACE(from);
        TIdMessage message;
        message.HeaderLines.Add(std::string("From: ") + from);
        message.ParseHeaderLines();
        EXPECT_EQ(friends.IndexOf(message.From.Name), 1);
    }
}
