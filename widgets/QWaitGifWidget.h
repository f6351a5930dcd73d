#pragma once
#include <QWidget>

class QLabel;
class QTimer;
class QVBoxLayout;

// The device list's page while no device is connected: a text that pulses between dark and
// light grey about once a second.
class QWaitGifWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QWaitGifWidget(QWidget *parent);
    void RefreshLanguage();

    int GreyLevel() const { return m_level; }

public Q_SLOTS:
    void on_timerout();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setupUi();
    void applyLevel();
    void setTextGrey(int level);

    QVBoxLayout *verticalLayout = nullptr;
    QLabel *label_2 = nullptr;
    QTimer *m_timer = nullptr;
    int m_level = 50;
    bool m_rising = false;
};
