#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>

class QTimer;

// The short-lived tip near the lower right corner of the screen under the cursor: one line of
// text over a bar that shrinks 6 pixels every 20 ms; the tip deletes itself when the bar is gone.
class QLR_PopWidget : public QWidget
{
    Q_OBJECT
public:
    static void Pop(const QString &caption, const QString &text);
    // The visible tip or null.
    static QLR_PopWidget *Current();

    QString Caption() const { return m_caption; }
    QString Text() const { return m_text; }
    int ElapsedWidth() const { return m_elapsed; }

public Q_SLOTS:
    void on_timeout();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLR_PopWidget();

    QString m_caption = QStringLiteral("DPI");
    QString m_text = QStringLiteral("1000");
    QTimer *m_timer = nullptr;
    int m_elapsed = 0; // int: a long text makes a tip wider than 16 bits can count

    static QPointer<QLR_PopWidget> s_shared;
};
