#pragma once
#include <QLabel>

class QLabelThread;

// The spinning wait picture: turns 10 degrees on every tick of its own tick thread while shown.
class QWaitLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QWaitLabel(QWidget *parent = nullptr);
    ~QWaitLabel() override;

    int Angle() const { return m_angle; }
    bool IsSpinning() const;

public Q_SLOTS:
    void on_run();
    void on_Kill();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QLabelThread *m_thread = nullptr;
    int m_angle = 0;
};
