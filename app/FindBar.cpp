#include "FindBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

TFindBar::TFindBar(QWidget* Parent) : QWidget(Parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 3, 8, 3);
    auto* label = new QLabel(QStringLiteral("Szukaj:"), this);
    m_Line = new QLineEdit(this);
    m_Line->setClearButtonEnabled(true);
    m_Line->setAccessibleName(QStringLiteral("Szukaj"));
    label->setBuddy(m_Line);
    layout->addWidget(label);
    layout->addWidget(m_Line, 1);
    m_Pause = new QTimer(this);
    m_Pause->setSingleShot(true);
    m_Pause->setInterval(0); // after the keys already waiting
    connect(m_Line, &QLineEdit::textChanged, m_Pause, qOverload<>(&QTimer::start));
    connect(m_Pause, &QTimer::timeout, this, [this] { emit TextChanged(m_Line->text()); });
    auto* escape = new QShortcut(Qt::Key_Escape, this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &TFindBar::Close);
    hide();
}

void TFindBar::Open()
{
    show();
    m_Line->setFocus();
    m_Line->selectAll();
}

void TFindBar::Close()
{
    m_Pause->stop();
    const bool had = !m_Line->text().isEmpty();
    m_Line->blockSignals(true);
    m_Line->clear();
    m_Line->blockSignals(false);
    hide();
    if (had)
        emit Closed();
}

QString TFindBar::Text() const
{
    return isVisible() || !m_Line->text().isEmpty() ? m_Line->text() : QString();
}
