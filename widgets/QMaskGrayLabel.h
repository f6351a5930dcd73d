#pragma once
#include <QLabel>

class QMovie;
class QPushButton;
class QTimer;

// The grey mask the main window lays over itself while it waits: an optional wait movie, an
// optional text, and an escape button that appears after 12 seconds so the user can end a
// wait that does not end by itself.
class QMaskGrayLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QMaskGrayLabel(QWidget *parent);

    // Set by the main window before it shows the mask.
    bool m_ShowMovie = false;
    bool m_ShowText = false;

    QPushButton *EscapeButton() const { return m_escape; }

public Q_SLOTS:
    void on_timeOut();
    void on_Butchick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitParent();
    // A widget under the mask's shape: it gets no keys while the mask is shown.
    bool Covers(QObject *object) const;

    QMovie *m_movie = nullptr;
    QTimer *m_timer = nullptr;
    int m_ticks = 0;
    QPushButton *m_escape = nullptr;
};
