#pragma once
#include <QLabel>
#include <QPixmap>
#include <QPointer>

class QTimer;

// A snapshot of a widget laid over it that fades out within about 150 ms; one shared instance,
// a child of the widget it covers, deleted when the fade has ended.
class QCaroonMaskLabel : public QLabel
{
    Q_OBJECT
public:
    static void ShowOver(QWidget *target);
    // The mask still fading or null.
    static QCaroonMaskLabel *Current();

    float Opacity() const { return m_opacity; }

Q_SIGNALS:
    void sigTimeout();

public Q_SLOTS:
    void handleTimeout();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QCaroonMaskLabel(QWidget *parent);
    void finish();

    QTimer *m_timer = nullptr;
    float m_opacity = 1.0f;
    QPixmap m_snapshot;

    static QPointer<QCaroonMaskLabel> s_shared;
};
