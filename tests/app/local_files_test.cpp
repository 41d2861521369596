// What stands at the path of a file the program keeps (settings, list,
// scan record) is never written through and never blocks a read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "app/scan_record_file.h"
#include "app/sender_list.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const MailboxIdentity kAnne{"pop.fr", 110, "anne"};

enum class Kind { Settings, List, Record };
enum class Obstacle { LinkElsewhere, Fifo };

// Writes the kind's file; the error's message, or "" when it was written.
std::string Write(Kind kind, const fs::path& path) {
    try {
        if (kind == Kind::Settings) TIniFile(path).WriteString("Form", "Nbre", "1");
        if (kind == Kind::List) SaveListFile(path, {"Zo\xE9"});
        if (kind == Kind::Record) WriteScanRecord(path, 1, kAnne, ScanRecord(1));
    } catch (const EIdException& e) {
        return e.Message();
    }
    return "";
}

// Reads it as the program does; the error's message, or "" when it read as missing.
std::string Read(Kind kind, const fs::path& path) {
    try {
        if (kind == Kind::Settings && TIniFile(path).ReadString("Form", "Nbre", "?") != "?") return "read";
        if (kind == Kind::List) LoadListFile(path);
        if (kind == Kind::Record && ReadScanRecord(path, 1, kAnne)) return "read";
    } catch (const EIdException& e) {
        return e.Message();
    }
    return "";
}

// Runs `action`; should it wait on the FIFO, a writer is opened to release it.
std::string WithoutWaiting(const fs::path& fifo, const std::function<std::string()>& action) {
    auto result = std::async(std::launch::async, action);
    if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ADD_FAILURE() << "blocked on the FIFO";
        int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    return result.get();
}

const std::string kNotRegular = "Le fichier spécifié n'est pas un fichier ordinaire.";

struct ObstacleCase {
    const char* name;
    Kind kind;
    Obstacle obstacle;
    std::string writeError;  // UTF-8; "<path>" stands for the path; "" for written
    std::string readError;
};
const ObstacleCase kObstacles[] = {
    {"settings_link_is_replaced", Kind::Settings, Obstacle::LinkElsewhere, "", ""},
    {"list_link_is_replaced", Kind::List, Obstacle::LinkElsewhere, "", ""},
    {"record_link_is_replaced", Kind::Record, Obstacle::LinkElsewhere, "", ""},
    {"settings_fifo_refused", Kind::Settings, Obstacle::Fifo, "Impossible d'écrire dans <path>", ""},
    {"list_fifo_refused", Kind::List, Obstacle::Fifo,
     "Impossible de créer le fichier \"<path>\". " + kNotRegular,
     "Impossible d'ouvrir le fichier \"<path>\". " + kNotRegular},
    {"record_fifo_refused", Kind::Record, Obstacle::Fifo, "Impossible d'écrire dans <path>", ""},
};
class LocalFileObstacle : public testing::TestWithParam<ObstacleCase> {};
TEST_P(LocalFileObstacle, IsReplacedOrRefusedAtOnce) {
    ScratchFolder dir;
    const fs::path path = dir / "vannoir.FICHIER";
    const fs::path elsewhere = dir / "ailleurs" / "cible";
    const auto expected = [&](std::string text) {
        if (const auto at = text.find("<path>"); at != std::string::npos) text.replace(at, 6, path.string());
        return std::string(text);
    };
    if (GetParam().obstacle == Obstacle::LinkElsewhere) {
        PutFile(elsewhere, "[Form]\r\nNbre=4\r\n");
        ::chmod(elsewhere.c_str(), 0644);
        fs::create_symlink(elsewhere, path);
        EXPECT_EQ(Write(GetParam().kind, path), "");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
        EXPECT_EQ(FileBytes(elsewhere), "[Form]\r\nNbre=4\r\n");
        EXPECT_EQ(fs::status(elsewhere).permissions(), fs::perms(0644));
        return;
    }
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(WithoutWaiting(path, [&] { return Read(GetParam().kind, path); }),
              expected(GetParam().readError));
    EXPECT_EQ(WithoutWaiting(path, [&] { return Write(GetParam().kind, path); }),
              expected(GetParam().writeError));
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(path)));
}
INSTANTIATE_TEST_SUITE_P(Table, LocalFileObstacle, testing::ValuesIn(kObstacles),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
