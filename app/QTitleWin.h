#pragma once
#include <QPoint>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;

// The frameless main window's own title bar: the menu button that opens the navigation
// pop-up, an empty title, minimise and close; dragging it moves the window.
class QTitleWin : public QWidget
{
    Q_OBJECT
public:
    explicit QTitleWin(QWidget *parent = nullptr);
    ~QTitleWin() override;

    static QTitleWin *Instance();
    void SetMenuButtonHidden(bool hidden);

Q_SIGNALS:
    void _quit();
    void _min();
    void _Resize(bool Re);
    void _PushGlobal();
    void _RollBackPage();

public Q_SLOTS:
    void on_KeyPictue_clicked();
    void on_But_Close2_clicked();
    void on_But_Hide2_clicked();
    void on_USB_Communication(bool op);
    void on_But_Max_noma_clicked(bool checked);
    void on_But_Set_clicked(bool checked);
    void on_Titleicon_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupUi();
    bool dragArea(QObject *watched, QEvent *event);

    // The generated form.
    QHBoxLayout *horizontalLayout = nullptr;
    QWidget *widgetTitle = nullptr;
    QHBoxLayout *horizontalLayout_4 = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QPushButton *Titleicon = nullptr;
    QLabel *label_Title = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QPushButton *But_Set = nullptr;
    QPushButton *But_Hide2 = nullptr;
    QPushButton *But_Max_noma = nullptr;
    QPushButton *But_Close2 = nullptr;

    bool m_dragging = false;
    QPoint m_pressCursor;
    QPoint m_pressWindowTopLeft;

    static QTitleWin *s_instance;
};
