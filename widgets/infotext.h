#pragma once
#include <QLabel>

class QTimer;

// The toast: a speech bubble with one line of text that fades in near the cursor and stays
// until its owner deletes it.
class infotext : public QLabel
{
    Q_OBJECT
public:
    explicit infotext(QWidget *parent = nullptr);

    quint16 Alpha() const { return m_alpha; }
    bool IsFading() const;

public Q_SLOTS:
    void on_showAction();
    void on_hideAction();

protected:
    void paintEvent(QPaintEvent *event) override;

private Q_SLOTS:
    void on_TimeOut();

private:
    QTimer *m_timer = nullptr;
    quint16 m_alpha = 0;
    bool m_fadeIn = false;
};
