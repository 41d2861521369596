#include "net/component.h"

#include "net/stack.h"
#include "platform/text.h"
#include "platform/text_format.h"

std::string StatusText(TIdStatus status, const std::string& argument) {
    const char* format = "%s";
    switch (status) {
        case hsResolving:
            format = "Résolution du nom d'hôte %s.";
            break;
        case hsConnecting:
            format = "Connexion à %s.";
            break;
        case hsConnected:
            format = "Connecté.";
            break;
        case hsDisconnecting:
            format = "Déconnexion.";
            break;
        case hsDisconnected:
            format = "Déconnecté.";
            break;
        default:
            break;
    }
    return FormatText(std::string(format), {argument});
}

TIdComponent::TIdComponent() { AcquireSocketStack(); }

TIdComponent::~TIdComponent() { ReleaseSocketStack(); }

void TIdComponent::DoStatus(TIdStatus status, const std::string& argument) {
    if (OnStatus) OnStatus(*this, status, StatusText(status, argument));
}

void TIdComponent::BeginWork(TWorkMode mode, std::int64_t expected) {
    WorkState& w = work_[mode];
    if (++w.nesting == 1) {
        w.expected = expected;
        w.count = 0;
        if (OnWorkBegin) OnWorkBegin(*this, mode, expected);
    }
}

void TIdComponent::DoWork(TWorkMode mode, std::int64_t count) {
    WorkState& w = work_[mode];
    if (w.nesting >= 1) {
        w.count += count;
        if (OnWork) OnWork(*this, mode, w.count);
    }
}

void TIdComponent::EndWork(TWorkMode mode) {
    WorkState& w = work_[mode];
    if (w.nesting == 1 && OnWorkEnd) OnWorkEnd(*this, mode);
    if (w.nesting > 0) --w.nesting;
}
