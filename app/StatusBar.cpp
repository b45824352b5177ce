#include "StatusBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTime>

#include <algorithm>

namespace {

// The panels' widths; the last takes the rest of the bar.
constexpr int kPanelWidths[] = {50, 75, 75, -1};

} // namespace

TStatusBar::TStatusBar(QWidget* Parent) : QWidget(Parent)
{
    setFixedHeight(19);
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(0, 1, 0, 0);
    bar->setSpacing(2);
    for (std::size_t i = 0; i < m_Panels.size(); ++i) {
        auto* panel = new QLabel(this);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(1, 0, 1, 0);
        if (kPanelWidths[i] > 0)
            panel->setFixedWidth(kPanelWidths[i]);
        bar->addWidget(panel, kPanelWidths[i] > 0 ? 0 : 1);
        m_Panels[i] = panel;
    }
}

void TStatusBar::SetText(TStatusPanel Which, const QString& Text)
{
    QLabel* panel = Panel(Which);
    panel->setText(Text);
    if (Which == spActivity)
        return; // it takes the rest of the bar
    const int needed = panel->fontMetrics().horizontalAdvance(Text) +
                       panel->contentsMargins().left() + panel->contentsMargins().right() +
                       2 * panel->frameWidth() + 2 * panel->margin() + 2;
    const int width = std::max(kPanelWidths[Which], needed);
    if (panel->minimumWidth() != width)
        panel->setFixedWidth(width);
}

QString TStatusBar::Text(TStatusPanel Which) const
{
    return Panel(Which)->text();
}

QString TimeOfDay()
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale().toString(QTime::currentTime(), format.trimmed());
}
