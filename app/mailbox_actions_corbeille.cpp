// Deletion through the Corbeille: each message copied whole before its DELE
// goes, all the copies flushed before the session's QUIT; one whose copy
// failed stays on the server, and none goes when the flush fails.
#include <algorithm>
#include <ctime>
#include <map>

#include "app/corbeille.h"
#include "app/corbeille_texts.h"
#include "app/mailbox_actions.h"
#include "app/scan_cells.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/text_format.h"

namespace {

// What the Corbeille's listing shows, from the row the scan made.
CorbeilleEntry EntryFor(const ScanRow* row, const Account& account, std::time_t now) {
    CorbeilleEntry entry;
    entry.deletedAt = now;
    entry.account = AccountName(account);
    if (row) {
        entry.sender = ShownSender(*row);
        entry.address = ShownAddress(*row);
        entry.subject = ShownSubject(*row);
        entry.authentication = row->authentication;
    }
    return entry;
}

std::string JournalName(const CorbeilleEntry& entry) {
    if (!entry.headerOnly) return entry.file;
    return entry.file + " (" + std::string(corbeille_texts::kJournalHeaderOnly) + ")";
}

std::string NotKept(std::string_view reason) {
    return std::string(corbeille_texts::kJournalNotKept) + " : " + std::string(reason);
}

}  // namespace

void MailboxActions::SetCorbeille(std::filesystem::path folder, std::filesystem::path settings) {
    corbeille_ = std::move(folder);
    settings_ = std::move(settings);
}

std::vector<int> MailboxActions::DeleteKeepingCopies(const std::vector<int>& numbers, DeletionKind kind) {
    const CorbeilleLimits limits =
        corbeille_.empty() ? CorbeilleLimits{} : ReadCorbeilleLimits(TIniFile(settings_));
    if (corbeille_.empty() || !limits.enabled) {
        // Whatever ends the batch, the journal gets the deletions still marked.
        const std::string off = NotKept(std::string(corbeille_texts::kJournalOff));
        std::size_t marked = 0;
        try {
            client_.DeleteMessages(numbers, &marked);
        } catch (...) {
            for (std::size_t k = 0; k < marked; ++k) Deleted(numbers[k], kind, off);
            throw;
        }
        for (int n : numbers) Deleted(n, kind, off);
        return numbers;
    }
    Corbeille corbeille(corbeille_, limits);
    const std::time_t now = std::time(nullptr);
    std::map<int, std::string> copies;  // the journal's name of each kept copy
    std::map<int, std::filesystem::path> copyFiles;
    std::vector<std::pair<int, CorbeilleEntry>> unsynced;
    std::vector<std::string> failures;
    std::unique_ptr<CorbeilleCopy> copy;
    std::string beginFailure;
    const auto fail = [&](int n, const std::string& reason) {
        failures.push_back(FormatText(std::string(corbeille_texts::kNotKept), {IntToStr(n), reason}));
    };
    TIdPOP3::CopyEvents events;
    events.start = [&](int n) {
        beginFailure.clear();
        try {
            copy = corbeille.Begin(EntryFor(RowOf(record_, n), applied_, now));
        } catch (const ECorbeilleError& e) {
            beginFailure = e.Message();
        }
    };
    events.bytes = [&](std::string_view bytes) {
        if (copy) copy->Append(bytes);
    };
    events.done = [&](int n, bool retrieved) {
        std::unique_ptr<CorbeilleCopy> finished = std::move(copy);
        if (!retrieved) return fail(n, std::string(corbeille_texts::kRetrieveRefused)), false;
        if (!finished) return fail(n, beginFailure), false;
        try {
            unsynced.emplace_back(n, finished->Keep());
            return true;
        } catch (const ECorbeilleError& e) {
            return fail(n, e.Message()), false;
        }
    };
    const auto unsyncedEntries = [&] {
        std::vector<CorbeilleEntry> entries;
        for (const auto& [n, entry] : unsynced) entries.push_back(entry);
        return entries;
    };
    std::vector<int> marked;  // by the time the copies are synced, the DELEs the session will carry out
    events.sync = [&] {
        for (auto& [n, entry] : unsynced)
            entry.deleted = std::find(marked.begin(), marked.end(), n) != marked.end();
        bool synced = true;
        try {
            corbeille.Sync(unsyncedEntries());
        } catch (const ECorbeilleError& e) {
            synced = false;
            for (const auto& [n, entry] : unsynced) fail(n, e.Message());
        }
        if (synced)
            for (const auto& [n, entry] : unsynced) {
                copies[n] = JournalName(entry);
                copyFiles[n] = corbeille.PathOf(entry);
            }
        unsynced.clear();
        return synced;
    };
    const auto record = [&] {
        for (int n : marked) Deleted(n, kind, copies[n], copyFiles[n]);
        for (const std::string& failure : failures) notKept_ += (notKept_.empty() ? "" : "\n") + failure;
    };
    try {
        client_.CopyAndDeleteMessages(numbers, events, &marked);
    } catch (...) {
        // Copies kept but not yet indexed stay listable with what they are:
        // their messages are still on the server.
        for (auto& [n, entry] : unsynced) entry.deleted = false;
        try {
            corbeille.Sync(unsyncedEntries());
        } catch (const ECorbeilleError&) {
        }
        record();
        throw;
    }
    record();
    return marked;
}
