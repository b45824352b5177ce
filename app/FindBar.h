#pragma once

#include <QWidget>

class QLineEdit;
class QTimer;

// The find line under the list ("Szukaj:"): hidden until asked for; what is typed into it is
// told once typing pauses for a moment, so that the work of a keystroke is dropped when the
// next one comes. Escape clears and hides it.
class TFindBar final : public QWidget
{
    Q_OBJECT
public:
    explicit TFindBar(QWidget* Parent);

    // Shows it with the focus in its line.
    void Open();
    // Clears and hides it.
    void Close();
    QString Text() const;
    QLineEdit* Line() const { return m_Line; }

signals:
    void TextChanged(const QString& Text);
    void Closed();

private:
    QLineEdit* m_Line;
    QTimer* m_Pause;
};
