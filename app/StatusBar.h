#pragma once

#include <QWidget>

#include <array>

class QLabel;

// The status bar's panels, left to right.
enum TStatusPanel
{
    spClock,
    spItems,
    spDiscs,
    spActivity
};

// The main window's status bar: four sunken panels, the clock, the two counts and the current
// activity. A panel keeps its width while its text fits and grows so that a count is never cut;
// the last one takes the rest of the bar.
class TStatusBar final : public QWidget
{
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* Parent);

    void SetText(TStatusPanel Panel, const QString& Text);
    QString Text(TStatusPanel Panel) const;
    QLabel* Panel(TStatusPanel Panel) const { return m_Panels.at(static_cast<std::size_t>(Panel)); }

private:
    std::array<QLabel*, 4> m_Panels{};
};

// The time of day in the user's time format, without a time zone, as the clock panel shows it.
QString TimeOfDay();
