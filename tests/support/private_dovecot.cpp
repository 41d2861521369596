#include "support/private_dovecot.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "pop3/pop3.h"
#include "support/test_data.h"

namespace fs = std::filesystem;

std::optional<PrivateDovecot> PrivateDovecot::FromFolder(const std::string& folder) {
    auto port = FirstLineOf(fs::path(folder) / "port");
    auto user = FirstLineOf(fs::path(folder) / "user");
    auto password = FirstLineOf(fs::path(folder) / "password");
    auto maildir = FirstLineOf(fs::path(folder) / "maildir");
    if (!port || !user || !password || !maildir) return std::nullopt;
    PrivateDovecot found;
    found.dir = folder;
    found.port = std::stoi(*port);
    found.user = *user;
    found.password = *password;
    found.maildir = *maildir;
    if (auto tlsPort = FirstLineOf(fs::path(folder) / "tlsport")) found.tlsPort = std::stoi(*tlsPort);
    found.caFile = FirstLineOf(fs::path(folder) / "ca").value_or("");
    found.ipv6 = FirstLineOf(fs::path(folder) / "ipv6").value_or("0") == "1";
    return found;
}

std::optional<PrivateDovecot> PrivateDovecot::FromEnvironment() {
    const char* folder = std::getenv("VANNOIR_DOVECOT_DIR");
    if (folder == nullptr || *folder == '\0') return std::nullopt;
    return FromFolder(folder);
}

namespace {
// scripts/dovecot of this source tree (the test data folder is tests/data).
std::string Script() { return (fs::path(VANNOIR_TEST_DATA) / ".." / ".." / "scripts" / "dovecot").string(); }

void RunScript(const std::string& action, const std::string& folder) {
    std::string command = "bash '" + Script() + "' " + action + " '" + folder + "' >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("scripts/dovecot " + action + " failed");
}
}  // namespace

PrivateDovecot PrivateDovecot::Start(const std::string& folder) {
    RunScript("start", folder);
    auto started = FromFolder(folder);
    if (!started) throw std::runtime_error("scripts/dovecot wrote no settings into " + folder);
    return *started;
}

void PrivateDovecot::Stop() const { RunScript("stop", dir); }

void PrivateDovecot::AddMessage(std::string_view bytes) const {
    static std::atomic<int> counter{0};
    // Names that sort in delivery order, so that the server numbers them so.
    auto now = std::chrono::system_clock::now().time_since_epoch();
    std::ostringstream name;
    name << std::chrono::duration_cast<std::chrono::seconds>(now).count() << ".M" << std::setfill('0')
         << std::setw(6) << std::chrono::duration_cast<std::chrono::microseconds>(now).count() % 1000000
         << "Q" << std::setw(6) << ++counter << "P" << getpid() << ".vannoir";
    fs::path tmp = fs::path(maildir) / "tmp" / name.str();
    {
        std::ofstream out(tmp, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + tmp.string());
    }
    fs::permissions(
        tmp, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    fs::rename(tmp, fs::path(maildir) / "new" / name.str());
}

void PrivateDovecot::AddUsers(const std::vector<std::pair<std::string, std::string>>& users) const {
    fs::path passwd = fs::path(dir) / "passwd";
    {
        std::ofstream out(passwd, std::ios::binary | std::ios::app);
        for (const auto& [name, secret] : users) out << name << ":{PLAIN}" << secret << "\n";
        if (!out) throw std::runtime_error("cannot write " + passwd.string());
    }
    // The server reads the file again when its time changes; within the same
    // second it may not notice, so the time moves on by hand.
    static std::atomic<int> bumps{0};
    fs::last_write_time(passwd, fs::last_write_time(passwd) + std::chrono::seconds(10 + ++bumps));
    // It also looks at the file at most about once a second.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
}

void PrivateDovecot::ClearMailbox() const {
    for (const char* sub : {"new", "cur", "tmp"}) {
        for (const auto& entry : fs::directory_iterator(fs::path(maildir) / sub)) fs::remove(entry.path());
    }
}

void PrivateDovecot::ConfigureClient(TIdPOP3& client) const {
    client.Host = "127.0.0.1";
    client.Port = port;
    client.Username = user;
    client.Password = password;
}
