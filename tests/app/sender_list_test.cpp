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
    {"entries_trimmed_inner_blanks_kept", " Anne  Marie \t\r\n", {"Anne  Marie"}},
    {"blank_line_is_an_empty_entry", "Anne\r\n  \r\n", {"Anne", ""}},
    {"cp1252_read_as_cp1252", "Ren\xE9 \x80\r\n", {"René €"}},
    {"utf8_file_read_as_utf8", "Ren\xC3\xA9\r\n\xC3\x89lise\n", {"René", "Élise"}},
    {"utf8_outside_cp1252_kept", "Jo\xE2\x82\xAC\xE4\xB8\xAD\r\n", {"Jo€中"}},
    {"ascii_only_stays", "a@b.fr\r\n", {"a@b.fr"}},
    {"cp1252_pair_that_looks_like_utf8_start", "Andr\xE9 \xC3\r\n", {"André Ã"}},
    {"overlong_utf8_is_cp1252", "\xC0\xA9\r\n", {"À©"}},
    {"utf8_byte_order_mark_dropped",
     "\xEF\xBB\xBF"
     "Ami\r\nRen\xC3\xA9\r\n",
     {"Ami", "René"}},
    {"byte_order_mark_before_ascii_dropped",
     "\xEF\xBB\xBF"
     "Ami\r\n",
     {"Ami"}},
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
    SaveListFile(dir / "Liste" / "Amis.TXT", {"Anne", "", "René €"});
    // Every entry fits Windows-1252: the old program can still read the file.
    EXPECT_EQ(FileBytes(dir / "Liste" / "Amis.TXT"), "Anne\r\n\r\nRen\xE9 \x80\r\n");
    // One that does not: the whole file in UTF-8, without a byte-order mark.
    SaveListFile(dir / "Liste" / "Amis.TXT", {"René", "王小明"});
    EXPECT_EQ(FileBytes(dir / "Liste" / "Amis.TXT"),
              "Ren\xC3\xA9\r\n\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E\r\n");
    EXPECT_EQ(LoadListFile(dir / "Liste" / "Amis.TXT"), (Entries{"René", "王小明"}));
    // First entries whose bytes would read back as a byte-order mark keep them.
    for (const Entries& entries : {Entries{"ï»¿Zoé", "Ñ"}, Entries{"\xEF\xBB\xBFZoé", "王"}}) {
        SaveListFile(dir / "Liste" / "Amis.TXT", entries);
        EXPECT_EQ(LoadListFile(dir / "Liste" / "Amis.TXT"), entries);
    }
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
                                   "\". Le fichier spé"
                                   "cifié est introuvable.");
    }
}

TEST(ListFile, MissingFolderRaisesCreateErrorAndIsNotMade) {
    ScratchFolder dir;
    auto path = dir / "Liste" / "Intrus.TXT";
    try {
        SaveListFile(path, {"x"});
        FAIL();
    } catch (const EListFileCreateError& e) {
        EXPECT_EQ(e.Message(), std::string("Impossible de créer le fichier \"") + path.string() + "\". " +
                                   std::string("Le fichier spécifié est introuvable."));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Liste"));
}

// Entries against senders: the grid's column-2 text and the From address.
struct MatchCase {
    const char* name;
    const char* entry;
    const char* shown;
    const char* address;
    bool matches;
};
const MatchCase kMatches[] = {
    // Names: the whole column-2 text, case folded and composed.
    {"name_case_ignored", "Jean Dupont", "JEAN DUPONT", "j@x.fr", true},
    {"name_accented_capital", "Élise", "élise", "", true},
    {"name_accent_is_not_plain_letter", "élise", "elise", "", false},
    {"name_decomposed_matches_capitals", "ÉMILIE", "e\u0301milie", "", true},
    {"name_composed_entry_decomposed_capital", "émilie", "E\u0301MILIE", "", true},
    {"name_cjk_whole", "王小明", "王小明", "", true},
    {"name_cjk_other_name", "王小明", "李小龙", "", false},
    {"name_cyrillic_case", "Анна", "АННА", "", true},
    {"name_greek_final_sigma", "ΣΟΦΟΣ", "σοφος", "", true},
    {"name_polish_capital_l_stroke", "łukasiewicz", "Łukasiewicz", "", true},
    {"name_emoji_kept", "🙂 Anne", "🙂 anne", "", true},
    {"name_sharp_s_folds_to_ss", "Strauß", "STRAUSS", "", true},
    {"name_question_marks_not_other_scripts", "???", "王小明", "", false},
    {"name_no_partial_match", "Jean", "Jean Dupont", "", false},
    {"name_blanks_around_ignored", " Jean ", "Jean ", "", true},
    {"name_never_matches_address", "Jean", "Spam", "jean", false},
    {"nameless_sender_shown_by_address", "x@pub.example", "x@pub.example", "x@pub.example", true},
    // Empty entries catch nothing, nameless or not.
    {"empty_entry_nameless_sender", "", "", "x@pub.example", false},
    {"blank_entry_no_sender", "  ", "", "", false},
    {"empty_entry_named_sender", "", "Spam", "x@pub.example", false},
    // Addresses, whatever the display name.
    {"address_whole", "jean@exemple.fr", "Quelqu'un d'autre", "jean@exemple.fr", true},
    {"address_case_ignored", "Jean@Exemple.FR", "", "jEAN@exemple.fr", true},
    {"address_other_local_part", "jean@exemple.fr", "", "marc@exemple.fr", false},
    {"address_not_a_suffix", "jean@exemple.fr", "", "xjean@exemple.fr", false},
    {"address_entry_never_matches_name", "jean@exemple.fr", "jean@exemple.fr", "", false},
    {"domain_at", "@exemple.fr", "Pub", "promo@EXEMPLE.fr", true},
    {"domain_star_at", "*@exemple.fr", "Pub", "promo@exemple.fr", true},
    {"domain_at_excludes_subdomain", "@exemple.fr", "", "a@mail.exemple.fr", false},
    {"domain_at_excludes_lookalike", "@exemple.fr", "", "a@autre-exemple.fr", false},
    {"subdomains_include_domain", "*.exemple.fr", "", "a@exemple.fr", true},
    {"subdomains_deep", "*.Exemple.fr", "", "a@x.mail.exemple.fr", true},
    {"subdomains_exclude_lookalike", "*.exemple.fr", "", "a@pasexemple.fr", false},
    {"subdomains_with_at", "*@*.exemple.fr", "", "a@mail.exemple.fr", true},
    {"bare_at_catches_nothing", "@", "", "a@exemple.fr", false},
    {"star_at_catches_nothing", "*@", "", "a@", false},
    {"address_entry_no_sender", "@exemple.fr", "", "", false},
    {"address_entry_address_without_at", "@exemple.fr", "exemple.fr", "exemple.fr", false},
};
class ListMatch : public testing::TestWithParam<MatchCase> {};
TEST_P(ListMatch, EntryAgainstSender) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(EntryMatches(c.entry, {c.shown, c.address}), c.matches);
}
INSTANTIATE_TEST_SUITE_P(Table, ListMatch, testing::ValuesIn(kMatches),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SenderList, AddTrimsAndRefusesEmptyAndKnownEntries) {
    SenderList list;
    EXPECT_TRUE(list.Add(" Anne "));
    EXPECT_FALSE(list.Add("ANNE"));
    EXPECT_FALSE(list.Add(""));
    EXPECT_FALSE(list.Add(" \t"));
    EXPECT_TRUE(list.Add("@pub.example"));
    EXPECT_EQ(list.Entries(), (Entries{"Anne", "@pub.example"}));
    EXPECT_EQ(list.IndexOf("anne "), 0);
    EXPECT_TRUE(list.Remove("ANNE"));
    EXPECT_FALSE(list.Remove("Anne"));
    EXPECT_EQ(list.Entries(), (Entries{"@pub.example"}));
}

TEST(SenderList, ListBoxOrderIgnoresCaseAndKeepsTies) {
    Entries entries = {"bruno", "Anne", "Élise", "anne", "Zoé", "emile"};
    SortLikeListBox(entries);
    EXPECT_EQ(entries, (Entries{"Anne", "anne", "bruno", "Élise", "emile", "Zoé"}));
}

}  // namespace

// The list holds names; senders match them whatever charset
// their From header was written in.
TEST(SenderList, MatchesSendersWrittenInAnyCharset) {
    SenderList friends;
    friends.Assign({"Anne", std::string("HÉLÈNE Dupré")});
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
