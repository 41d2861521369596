// The grid's order after a click on a heading, from the scan's rows, and
// the window's state kept between runs.
#include "app/grid_order.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"
#include "app/scan_cells.h"
#include "app/window_state.h"
#include "support/scoped_time_zone.h"
#include "support/scratch_folder.h"

namespace {

ScanRow Row(std::string_view date, std::string sender, std::int64_t size) {
    ScanRow row;
    row.name = std::move(sender);
    row.subject = "Sujet";
    row.size = size;
    row.date = ReadMessageDate(date, 0);
    return row;
}

// Message 1 is the oldest only once the zones count; message 3's size is
// the largest only as a number.
const ScanRecord kRecord = {Row("Fri, 4 Dec 2026 17:45:00 +0100", "bruno", 900),
                            Row("Fri, 4 Dec 2026 17:40:00 +0000", "Anne", 1000),
                            Row("Thu, 3 Dec 2026 09:00:00 +0000", "claire", 12000), Row("", "Anne", 5)};

struct OrderCase {
    const char* name;
    int column;
    bool descending;
    std::vector<int> messages;
};
const OrderCase kOrders[] = {
    {"number_reversed", 0, true, {4, 3, 2, 1}},
    {"date_by_time_not_by_text", 1, false, {4, 3, 1, 2}},
    {"date_reversed", 1, true, {2, 1, 3, 4}},
    {"sender_ignores_case_ties_keep_server_order", 2, false, {2, 4, 1, 3}},
    {"size_by_number", 4, false, {4, 1, 2, 3}},
    {"size_reversed", 4, true, {3, 2, 1, 4}},
};
class GridOrder : public testing::TestWithParam<OrderCase> {};
TEST_P(GridOrder, SortsTheScannedRows) {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(SortedMessages(kRecord, GetParam().column, GetParam().descending), GetParam().messages);
}
INSTANTIATE_TEST_SUITE_P(Table, GridOrder, testing::ValuesIn(kOrders),
                         [](const auto& info) { return std::string(info.param.name); });

// A record replaces whatever the grid showed: its rows, their marks, the
// rows beyond it.
TEST(ShowRows, TheGridHoldsTheRecordAndNothingElse) {
    ScopedTimeZone zone("UTC");
    MemoryGrid grid;
    grid.SetRowCount(1200);
    grid.SetRow(1100, {"1100", "", "old", "", "", ""});
    grid.SetRowFault(2, "old fault");
    grid.SetRowNote(3, "old note");
    ScanRecord record = kRecord;
    for (std::size_t i = 0; i < record.size(); ++i) record[i].number = static_cast<int>(i) + 7;
    record[0].fault = "En-tête illisible";
    ShowRows(grid, record);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(0, 1), "7");
    EXPECT_EQ(grid.Cell(1, 1), "04/12/26 à 16:45");
    EXPECT_EQ(grid.Cell(2, 4), "Anne");
    EXPECT_EQ(grid.Cell(4, 3), "12000");
    EXPECT_EQ(grid.Fault(1), "En-tête illisible");
    EXPECT_EQ(grid.Fault(2), "");
    EXPECT_EQ(grid.Note(3), "");
    ShowRows(grid, {});
    EXPECT_EQ(grid.RowCount(), 1);
}

struct StateCase {
    const char* name;
    std::string section;  // the lines of [Fenetre]
    std::optional<WindowState> read;
};
const StateCase kStates[] = {
    {"whole",
     "Gauche=10\r\nHaut=20\r\nLargeur=800\r\nHauteur=600\r\nColonnes=4,0,1,2,3\r\nLargeurs=1,2,3,4,"
     "5\r\nCompte=3\r\n",
     WindowState{10, 20, 800, 600, {4, 0, 1, 2, 3}, {1, 2, 3, 4, 5}, 3}},
    {"no_size_no_state", "Gauche=10\r\n", std::nullopt},
    {"columns_not_a_permutation_dropped",
     "Largeur=800\r\nHauteur=600\r\nColonnes=0,0,1,2,3\r\nLargeurs=1,2,x\r\n",
     WindowState{0, 0, 800, 600, {}, {}, 1}},
    {"account_clamped", "Largeur=800\r\nHauteur=600\r\nCompte=42\r\n",
     WindowState{0, 0, 800, 600, {}, {}, 10}},
};
class WindowStateFile : public testing::TestWithParam<StateCase> {};
TEST_P(WindowStateFile, ReadsWhatItCanUse) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\nNbre=1\r\n[Fenetre]\r\n" + GetParam().section);
    EXPECT_EQ(ReadWindowState(dir / "v.INI"), GetParam().read);
}
INSTANTIATE_TEST_SUITE_P(Table, WindowStateFile, testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WindowStateFile, WrittenInItsOwnSectionAndReadBack) {
    ScratchFolder dir;
    PutFile(dir / "v.INI", "[Form]\r\nNbre=1\r\n");
    const WindowState state{-5, 7, 900, 640, {1, 0, 2, 3, 4}, {90, 180, 240, 60, 40}, 2};
    WriteWindowState(dir / "v.INI", state);
    EXPECT_EQ(ReadWindowState(dir / "v.INI"), state);
    EXPECT_EQ(FileBytes(dir / "v.INI").rfind("[Form]\r\nNbre=1\r\n[Fenetre]\r\n", 0), 0u)
        << "the accounts untouched";
}

}  // namespace
