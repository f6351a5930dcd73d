#pragma once
#include <QDialog>
#include <QPointer>

class QGridLayout;
class QLabelThread;
class QWaitLabel;

// The busy spinner, 55 x 55, that follows the mouse cursor; one shared instance, made on first
// use and deleted by Release() when the busy state ends.
class QWaitingAnimationDlg : public QDialog
{
    Q_OBJECT
public:
    static QWaitingAnimationDlg *Instance();
    // Deletes the shared dialog, shown or not; nothing when there is none.
    static void Release();
    // The shared dialog or null, without making one.
    static QWaitingAnimationDlg *Existing();

    ~QWaitingAnimationDlg() override;

    QWaitLabel *Spinner() const;

Q_SIGNALS:
    void beginThrerad();
    void EndThrerad();

public Q_SLOTS:
    void on_timeout();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    explicit QWaitingAnimationDlg(QWidget *parent = nullptr);
    void setupUi();

    QGridLayout *gridLayout = nullptr;
    QPointer<QWaitLabel> label;
    QLabelThread *m_thread = nullptr;

    static QPointer<QWaitingAnimationDlg> s_shared;
};

// Stops the spinning picture of the shared busy dialog, when there is one.
void StopWaitSpinner();
