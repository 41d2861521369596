#pragma once
// The tray icon of the periodic checks: the number of messages waiting on
// it and in its tooltip (with the intruders and what failed), its menu to
// show the window, check now or quit; the desktop notification after a
// check that found something new. The schedule runs on a timer the tests
// replace with their own clock.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "app/mailbox_watch.h"

class QMenu;
class QSystemTrayIcon;
class DesktopNotifier;
class Screener;

// The window's timer.
class QtWatchTimer : public QObject, public WatchTimer {
    Q_OBJECT
public:
    QtWatchTimer();
    void Start(int ms, std::function<void()> tick) override;
    void Stop() override;

private:
    class QTimer* timer_;
    std::function<void()> tick_;
};

class WatchTray : public QObject, public WatchView {
    Q_OBJECT
public:
    // `showWindow` and `quit` are the window's.
    WatchTray(Screener& screener, std::function<void()> showWindow, std::function<void()> quit);
    ~WatchTray() override;

    // Another clock for the schedule (the tests' own); the schedule starts again on it.
    void UseTimer(std::unique_ptr<WatchTimer> timer);
    // The settings read again: the schedule and the icon follow them.
    void Configure();
    // Periodic checks are on and the desktop has a tray: closing the window
    // keeps the program running.
    bool KeepsRunning() const;
    // "Vérifier maintenant".
    Outcome CheckNow() { return watch_->Check(); }
    MailboxWatch& Watch() { return *watch_; }
    const QString& Tooltip() const { return tooltip_; }
    DesktopNotifier& Notifier() { return *notifier_; }

    void ShowCounts(int waiting, int intruders, std::string_view tooltip) override;
    void Notify(std::string_view title, std::string_view body) override;

    // Whether the desktop shows tray icons (the tests say so for the offscreen screen).
    bool trayAvailable;
    // Told after each check that ran (a close that waited for it may go on).
    std::function<void()> checked;

private:
    Screener& screener_;
    std::function<void()> showWindow_, quit_;
    std::unique_ptr<WatchTimer> timer_;
    std::unique_ptr<MailboxWatch> watch_;
    QSystemTrayIcon* icon_ = nullptr;
    std::unique_ptr<QMenu> menu_;
    DesktopNotifier* notifier_;
    QString tooltip_;
};
