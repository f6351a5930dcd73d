#pragma once
#include <QWidget>

// The navigation pop-up that slides in from the left.
class QLeftMenuPop : public QWidget
{
    Q_OBJECT
public:
    explicit QLeftMenuPop(QWidget *parent = nullptr);
    ~QLeftMenuPop() override;
    static QLeftMenuPop *Instance();
    void Animationgeometry_show();
    void Animationgeometry_hide();

private:
    static QLeftMenuPop *s_instance;
};
