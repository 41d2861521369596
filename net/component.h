#pragma once
// Base of every network component: the status event that reports connection
// progress ("Connexion à %s.", "Connecté." ...) and the work events that
// report transfer progress. Callers set the events; nothing is printed here.
// Every live component keeps the process-wide socket stack alive.
#include <cstdint>
#include <functional>
#include <string>

enum TIdStatus {
    hsResolving,
    hsConnecting,
    hsConnected,
    hsDisconnecting,
    hsDisconnected,
    hsStatusText,
    ftpTransfer,
    ftpReady,
    ftpAborted
};

enum TWorkMode { wmRead, wmWrite };

// The status text of a kind with its argument put in place of "%s"
// (Windows-1252).
std::string StatusText(TIdStatus status, const std::string& argument);

class TIdComponent {
public:
    using TIdStatusEvent =
        std::function<void(TIdComponent& ASender, TIdStatus AStatus, const std::string& AStatusText)>;
    using TWorkBeginEvent =
        std::function<void(TIdComponent& ASender, TWorkMode AWorkMode, std::int64_t AWorkCountMax)>;
    using TWorkEvent =
        std::function<void(TIdComponent& ASender, TWorkMode AWorkMode, std::int64_t AWorkCount)>;
    using TWorkEndEvent = std::function<void(TIdComponent& ASender, TWorkMode AWorkMode)>;

    TIdComponent();
    virtual ~TIdComponent();
    TIdComponent(const TIdComponent&) = delete;
    TIdComponent& operator=(const TIdComponent&) = delete;

    TIdStatusEvent OnStatus;
    TWorkBeginEvent OnWorkBegin;
    TWorkEvent OnWork;
    TWorkEndEvent OnWorkEnd;

    // Raises OnStatus, when set, with the kind's text.
    void DoStatus(TIdStatus status, const std::string& argument = "");

    // Nested work reporting per mode: only the outermost BeginWork/EndWork
    // pair raises its events; DoWork counts while any is open.
    void BeginWork(TWorkMode mode, std::int64_t expected = 0);
    void DoWork(TWorkMode mode, std::int64_t count);
    void EndWork(TWorkMode mode);

private:
    struct WorkState {
        int nesting = 0;
        std::int64_t expected = 0;
        std::int64_t count = 0;
    };
    WorkState work_[2];
};

// Work reporting for one scope: BeginWork now, EndWork however the scope ends.
class TIdWorkScope {
public:
    TIdWorkScope(TIdComponent& component, TWorkMode mode, std::int64_t expected = 0)
        : component_(component), mode_(mode) {
        component_.BeginWork(mode_, expected);
    }
    ~TIdWorkScope() { component_.EndWork(mode_); }
    TIdWorkScope(const TIdWorkScope&) = delete;
    TIdWorkScope& operator=(const TIdWorkScope&) = delete;

private:
    TIdComponent& component_;
    TWorkMode mode_;
};
