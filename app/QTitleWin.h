#pragma once
#include <QWidget>

// The main window's own title bar.
class QTitleWin : public QWidget
{
    Q_OBJECT
public:
    explicit QTitleWin(QWidget *parent = nullptr);
    static QTitleWin *Instance();
    void SetMenuButtonHidden(bool hidden);

Q_SIGNALS:
    void _quit();
    void _min();
    void _Resize(bool Re);
    void _PushGlobal();
    void _RollBackPage();

private:
    static QTitleWin *s_instance;
};
