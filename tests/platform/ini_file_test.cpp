#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/scratch_folder.h"

namespace {

constexpr const char* kMissing = "<missing>";

struct ReadCase {
    const char* name;
    std::string file;  // kMissing: no file at all
    const char* key;
    std::string expected;
};
const ReadCase kReads[] = {
    {"plain_value", "[Form]\r\nServeur1=pop.example.fr\r\n", "Serveur1", "pop.example.fr"},
    {"key_case_ignored", "[Form]\r\nSERVEUR1=pop\r\n", "serveur1", "pop"},
    {"section_case_ignored", "[form]\r\nNom1=anne\r\n", "Nom1", "anne"},
    {"blanks_around_name_and_value", "[Form]\r\n  Nom1 \t=  anne  \r\n", "Nom1", "anne"},
    {"first_of_two_lines_wins", "[Form]\r\nNom1=a\r\nNom1=b\r\n", "Nom1", "a"},
    {"lf_line_ends", "[Form]\nNom1=a\nNom2=b\n", "Nom2", "b"},
    {"last_line_without_end", "[Form]\r\nNom1=a", "Nom1", "a"},
    {"value_keeps_equals_signs", "[Form]\r\nPasse1=a=b\r\n", "Passe1", "a=b"},
    {"other_section_not_read", "[Autre]\r\nNom1=x\r\n[Form]\r\nNom2=y\r\n", "Nom1", "<none>"},
    {"key_after_next_section_not_read", "[Form]\r\n[Autre]\r\nNom1=x\r\n", "Nom1", "<none>"},
    {"key_before_any_section_not_read", "Nom1=x\r\n[Form]\r\n", "Nom1", "<none>"},
    {"missing_file", kMissing, "Nom1", "<none>"},
    {"value_ends_at_byte_0", std::string("[Form]\r\nNom1=ab\0cd\r\n", 20), "Nom1", "ab"},
    {"cp1252_bytes_kept", "[Form]\r\nNom1=Fran\xE7ois\r\n", "Nom1", "Fran\xE7ois"},
    {"read_cut_at_2047", "[Form]\r\nNom1=" + std::string(3000, 'x') + "\r\n", "Nom1", std::string(2047, 'x')},
};
class IniRead : public testing::TestWithParam<ReadCase> {};
TEST_P(IniRead, GivesValue) {
    ScratchFolder dir;
    if (GetParam().file != kMissing) PutFile(dir / "v.INI", GetParam().file);
    TIniFile ini(dir / "v.INI");
    EXPECT_EQ(ini.ReadString("Form", GetParam().key, "<none>"), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, IniRead, testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

struct IntCase {
    const char* name;
    const char* value;
    int expected;
};
const IntCase kInts[] = {
    {"decimal", "7", 7},
    {"negative", "-2", -2},
    {"hex_lower_prefix", "0x1F", 31},
    {"hex_upper_prefix", "0XA", 10},
    {"bare_prefix_is_unreadable", "0x", 0},
    {"bad_hex_digit", "0x1G", 0},
    {"words", "sept", 0},
    {"empty", "", 0},
    {"trailing_garbage", "7a", 0},
};
class IniInteger : public testing::TestWithParam<IntCase> {};
TEST_P(IniInteger, ReadsOrFallsBack) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", std::string("[Form]\r\nNbre=") + GetParam().value + "\r\n");
    EXPECT_EQ(TIniFile(dir / "v.INI").ReadInteger("Form", "Nbre", 0), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, IniInteger, testing::ValuesIn(kInts),
                         [](const auto& info) { return std::string(info.param.name); });

enum class Op { Write, Delete };
struct ChangeCase {
    const char* name;
    std::string before;  // kMissing: no file
    Op op;
    const char* key;
    std::string value;
    std::string after;
};
const ChangeCase kChanges[] = {
    {"creates_file_and_section", kMissing, Op::Write, "Nbre", "1", "[Form]\r\nNbre=1\r\n"},
    {"replaces_line_in_place", "[Form]\r\nNbre=1\r\nNom1=a\r\n", Op::Write, "Nbre", "2",
     "[Form]\r\nNbre=2\r\nNom1=a\r\n"},
    {"replace_keeps_lf_end", "[Form]\nNbre=1\nNom1=a\n", Op::Write, "NBRE", "2", "[Form]\nNBRE=2\nNom1=a\n"},
    {"adds_after_last_key_of_section", "[Form]\r\nNbre=1\r\n\r\n[Autre]\r\nx=1\r\n", Op::Write, "Nom1", "a",
     "[Form]\r\nNbre=1\r\nNom1=a\r\n\r\n[Autre]\r\nx=1\r\n"},
    {"adds_section_at_end", "[Autre]\r\nx=1\r\n", Op::Write, "Nbre", "0",
     "[Autre]\r\nx=1\r\n[Form]\r\nNbre=0\r\n"},
    {"ends_unterminated_last_line", "[Form]\r\nNbre=1", Op::Write, "Nom1", "a",
     "[Form]\r\nNbre=1\r\nNom1=a\r\n"},
    {"value_cut_at_byte_0", "", Op::Write, "Nom1", std::string("ab\0cd", 5), "[Form]\r\nNom1=ab\r\n"},
    {"value_cut_at_line_end", "", Op::Write, "Nom1", "a\r\nPasse1=x", "[Form]\r\nNom1=a\r\n"},
    {"other_lines_byte_exact", "; note\r\n[Form]\r\n  Nbre = 1 \r\nweird line\r\n", Op::Write, "Serveur1",
     "pop", "; note\r\n[Form]\r\n  Nbre = 1 \r\nweird line\r\nServeur1=pop\r\n"},
    {"delete_removes_line", "[Form]\r\nNbre=1\r\nNom1=a\r\nNom2=b\r\n", Op::Delete, "nom1", "",
     "[Form]\r\nNbre=1\r\nNom2=b\r\n"},
    {"delete_missing_key_changes_nothing", "[Form]\nNbre=1", Op::Delete, "Nom1", "", "[Form]\nNbre=1"},
    {"delete_without_file_creates_nothing", kMissing, Op::Delete, "Nom1", "", kMissing},
    {"delete_only_in_its_section", "[Autre]\r\nNom1=a\r\n[Form]\r\nNom1=b\r\n", Op::Delete, "Nom1", "",
     "[Autre]\r\nNom1=a\r\n[Form]\r\n"},
};
class IniChange : public testing::TestWithParam<ChangeCase> {};
TEST_P(IniChange, GivesExactBytes) {
    ScratchFolder dir;
    const auto path = dir / "v.INI";
    if (GetParam().before != kMissing) PutFile(path, GetParam().before);
    TIniFile ini(path);
    if (GetParam().op == Op::Write)
        ini.WriteString("Form", GetParam().key, GetParam().value);
    else
        ini.DeleteKey("Form", GetParam().key);
    EXPECT_EQ(FileBytes(path), GetParam().after);
}
INSTANTIATE_TEST_SUITE_P(Table, IniChange, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, WrittenValueReadsBack) {
    ScratchFolder dir;
    TIniFile ini(dir / "v.INI");
    ini.WriteInteger("Form", "Nbre", 3);
    ini.WriteString("Form", "Nom3", "Fran\xE7ois");
    EXPECT_EQ(ini.ReadInteger("Form", "Nbre", 0), 3);
    EXPECT_EQ(ini.ReadString("Form", "Nom3"), "Fran\xE7ois");
}

TEST(IniFile, FileIsOwnerOnlyAndNoTemporaryIsLeft) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\n");
    ::chmod((dir / "v.INI").c_str(), 0644);
    TIniFile(dir / "v.INI").WriteString("Form", "Passe1", "x");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "v.INI").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1);
}

struct RefusalCase {
    const char* name;
    const char* file;  // relative to the scratch folder
    void (*prepare)(const std::filesystem::path& dir);
};
const RefusalCase kRefusals[] = {
    {"missing_folder", "absent/v.INI", [](const std::filesystem::path&) {}},
    {"read_only_file", "v.INI",
     [](const std::filesystem::path& dir) {
         PutFile(dir / "v.INI", "[Form]\r\nNbre=1\r\n");
         ::chmod((dir / "v.INI").c_str(), 0444);
     }},
    {"folder_in_the_way", "v.INI",
     [](const std::filesystem::path& dir) { std::filesystem::create_directory(dir / "v.INI"); }},
};
class IniRefusal : public testing::TestWithParam<RefusalCase> {};
TEST_P(IniRefusal, RaisesWithPathAndKeepsFile) {
    ScratchFolder dir;
    GetParam().prepare(dir.Path());
    const auto path = dir / GetParam().file;
    const std::string before = FileBytes(path);
    try {
        TIniFile(path).WriteString("Form", "Nbre", "2");
        FAIL() << "no error";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(e.Message(), std::string("Impossible d'écrire dans ") + path.string());
    }
    EXPECT_EQ(FileBytes(path), before);
}
INSTANTIATE_TEST_SUITE_P(Table, IniRefusal, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
