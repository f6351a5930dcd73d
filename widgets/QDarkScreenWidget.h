#pragma once
#include <QWidget>

// One dark translucent cover laid over a widget and taken off again; at most one exists.
class QDarkScreenWidget : public QWidget
{
    Q_OBJECT
public:
    // Covers the parent (or shows the existing cover again over its first parent).
    static void Disp(QWidget *Parent);
    static void UnDisp();
    // The cover while one exists, else null.
    static QDarkScreenWidget *Current();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    explicit QDarkScreenWidget(QWidget *parent);
};
