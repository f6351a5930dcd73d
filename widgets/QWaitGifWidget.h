#pragma once
#include <QWidget>

class QLabel;

// The page shown while no device is connected.
class QWaitGifWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QWaitGifWidget(QWidget *parent);
    void RefreshLanguage();

private:
    QLabel *label_2 = nullptr;
};
