#pragma once
#include <QLabel>

// The grey mask the main window lays over itself while it waits.
class QMaskGrayLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QMaskGrayLabel(QWidget *parent);

    bool m_ShowMovie = false;
    bool m_ShowText = false;
};
