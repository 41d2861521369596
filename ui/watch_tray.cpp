#include "ui/watch_tray.h"

#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/main_window.h"
#include "app/watch_texts.h"
#include "ui/app_icon.h"
#include "ui/desktop_notifier.h"
#include "ui/qt_text.h"

namespace {

// The program's icon with the count of waiting messages in its corner.
QIcon CountIcon(int waiting) {
    QPixmap picture = AppIcon().pixmap(64, 64);
    if (waiting <= 0) return QIcon(picture);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect badge(24, 24, 40, 40);
    painter.setBrush(QColor(200, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(badge);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(waiting > 99 ? 16 : 24);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, waiting > 99 ? QStringLiteral("99+") : QString::number(waiting));
    return QIcon(picture);
}

}  // namespace

QtWatchTimer::QtWatchTimer() : timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, [this] {
        if (tick_) tick_();
    });
}

void QtWatchTimer::Start(int ms, std::function<void()> tick) {
    tick_ = std::move(tick);
    timer_->start(ms);
}

void QtWatchTimer::Stop() { timer_->stop(); }

WatchTray::WatchTray(Screener& screener, std::function<void()> showWindow, std::function<void()> quit)
    : trayAvailable(QSystemTrayIcon::isSystemTrayAvailable()),
      screener_(screener),
      showWindow_(std::move(showWindow)),
      quit_(std::move(quit)),
      timer_(std::make_unique<QtWatchTimer>()),
      watch_(std::make_unique<MailboxWatch>(screener_, *timer_, *this)),
      notifier_(new DesktopNotifier(this)) {
    connect(notifier_, &DesktopNotifier::activated, this, [this] { showWindow_(); });
}

WatchTray::~WatchTray() {
    if (icon_) icon_->hide();
}

void WatchTray::UseTimer(std::unique_ptr<WatchTimer> timer) {
    timer_->Stop();
    watch_ = std::make_unique<MailboxWatch>(screener_, *timer, *this);
    timer_ = std::move(timer);
    Configure();
}

void WatchTray::Configure() {
    watch_->Configure();
    if (!trayAvailable) return;
    if (!icon_) {
        icon_ = new QSystemTrayIcon(CountIcon(0), this);
        menu_ = std::make_unique<QMenu>();
        menu_->addAction(toQt(watch_texts::kTrayShow), this, [this] { showWindow_(); });
        menu_->addAction(toQt(watch_texts::kTrayCheck), this, [this] { CheckNow(); });
        menu_->addSeparator();
        menu_->addAction(toQt(watch_texts::kTrayQuit), this, [this] { quit_(); });
        icon_->setContextMenu(menu_.get());
        connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) showWindow_();
        });
        icon_->setToolTip(tooltip_.isEmpty() ? QStringLiteral("Vannoir") : tooltip_);
    }
    icon_->setVisible(watch_->Active());
}

bool WatchTray::KeepsRunning() const { return watch_->Active() && trayAvailable; }

void WatchTray::ShowCounts(int waiting, int, std::string_view tooltip) {
    tooltip_ = toQt(tooltip);
    if (icon_) {
        icon_->setIcon(CountIcon(waiting));
        icon_->setToolTip(tooltip_);
    }
    if (checked) checked();
}

void WatchTray::Notify(std::string_view title, std::string_view body) {
    notifier_->Notify(toQt(title), toQt(body));
}
