#include "widgets/QWaitingAnimationDlg.h"
#include "widgets/QLabelThread.h"
#include "widgets/QWaitLabel.h"

#include <QCursor>
#include <QGridLayout>
#include <climits>

QPointer<QWaitingAnimationDlg> QWaitingAnimationDlg::s_shared;

QWaitingAnimationDlg *QWaitingAnimationDlg::Instance()
{
    if (!s_shared) {
        s_shared = new QWaitingAnimationDlg;
        s_shared->setObjectName(QStringLiteral("WaitingAnimationDlgface"));
    }
    return s_shared;
}

QWaitingAnimationDlg *QWaitingAnimationDlg::Existing()
{
    return s_shared;
}

QWaitLabel *QWaitingAnimationDlg::Spinner() const
{
    return label;
}

void QWaitingAnimationDlg::Release()
{
    delete s_shared.data();
    s_shared.clear();
}

QWaitingAnimationDlg::QWaitingAnimationDlg(QWidget *parent)
    : QDialog(parent)
    , m_thread(new QLabelThread(this))
{
    setupUi();
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_thread, &QLabelThread::Runone, this, &QWaitingAnimationDlg::on_timeout);
    connect(this, &QWaitingAnimationDlg::beginThrerad, m_thread, &QLabelThread::on_StateThred);
    connect(this, &QWaitingAnimationDlg::EndThrerad, m_thread, &QLabelThread::on_StopThred);
}

QWaitingAnimationDlg::~QWaitingAnimationDlg()
{
    // Deleting a shown dialog must not destroy a running tick thread.
    m_thread->StopAndWait(ULONG_MAX);
}

void QWaitingAnimationDlg::setupUi()
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QWaitingAnimationDlg"));
    resize(55, 55);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    label = new QWaitLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setText(QString());
    gridLayout->addWidget(label, 0, 0, 1, 1);
    setWindowTitle(QStringLiteral("Dialog"));
}

void QWaitingAnimationDlg::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Q_EMIT beginThrerad();
}

void QWaitingAnimationDlg::hideEvent(QHideEvent *event)
{
    Q_EMIT EndThrerad();
    QDialog::hideEvent(event);
}

void QWaitingAnimationDlg::on_timeout()
{
    move(QCursor::pos() + QPoint(10, 10));
}

void StopWaitSpinner()
{
    QWaitingAnimationDlg *dialog = QWaitingAnimationDlg::Existing();
    if (dialog && dialog->Spinner())
        dialog->Spinner()->on_Kill();
}
