// TDegradClass, the side panel's gradient.
#pragma once
// A left-to-right gradient over the whole of its parent, drawn under the
// parent's other children.
#include <QColor>
#include <QPalette>
#include <QWidget>
#include <optional>

// A fixed colour, or a system colour (a palette role) read when painting.
class PanelColour {
public:
    static PanelColour Fixed(QColor rgb) { return PanelColour(rgb, std::nullopt); }
    static PanelColour System(QPalette::ColorRole role) { return PanelColour({}, role); }
    QColor Resolve(const QPalette& palette) const { return role_ ? palette.color(*role_) : rgb_; }
    bool operator==(const PanelColour& other) const { return rgb_ == other.rgb_ && role_ == other.role_; }

private:
    PanelColour(QColor rgb, std::optional<QPalette::ColorRole> role) : rgb_(rgb), role_(role) {}
    QColor rgb_;
    std::optional<QPalette::ColorRole> role_;
};

class TDegradClass : public QWidget {
    Q_OBJECT
public:
    // Fills `parent` and follows its size.
    explicit TDegradClass(QWidget* parent);

    const PanelColour& StartColor() const { return start_; }
    const PanelColour& EndColor() const { return end_; }
    // A new value repaints; the same value does nothing.
    void SetStartColor(const PanelColour& colour);
    void SetEndColor(const PanelColour& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PanelColour start_ = PanelColour::Fixed(QColor(0, 0, 255));
    PanelColour end_ = PanelColour::Fixed(QColor(255, 0, 0));
};
