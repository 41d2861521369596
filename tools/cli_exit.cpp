#include "tools/cli_exit.h"

int ExitCodeOf(Outcome::Fault fault) {
    switch (fault) {
        case Outcome::Fault::Account:
            return cli_exit::kAccount;
        case Outcome::Fault::Network:
        case Outcome::Fault::Busy:
            return cli_exit::kNetwork;
        case Outcome::Fault::Changed:
            return cli_exit::kChanged;
        case Outcome::Fault::LocalFile:
            return cli_exit::kLocalFile;
        case Outcome::Fault::None:
        case Outcome::Fault::Stopped:
        case Outcome::Fault::Server:
        case Outcome::Fault::Other:
            break;
    }
    return cli_exit::kServer;
}

int ExitCodeOf(const Outcome& outcome) {
    if (outcome.IsDone())
        return outcome.fault == Outcome::Fault::LocalFile ? cli_exit::kLocalFile : cli_exit::kDone;
    return ExitCodeOf(outcome.fault);
}

int ExitCodeOf(const std::exception& error) { return ExitCodeOf(FaultOf(error)); }
