#include "tests/support/WaitSweep.h"
#include "app/NestedWait.h"
#include "widgets/QDottomMessgDlg.h"

#include <QApplication>
#include <QDialog>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QWindow>
#include <QtTest>

// The window system's entry for input, as QtGui exports it (its header comes only with Qt's
// private development files). Queued delivery is what a platform plug-in uses.
class QWindowSystemInterface
{
public:
    struct AsynchronousDelivery;
    template<typename Delivery>
    static bool handleMouseEvent(QWindow *window, const QPointF &local, const QPointF &global, Qt::MouseButtons state,
                                 Qt::MouseButton button, QEvent::Type type, Qt::KeyboardModifiers mods,
                                 Qt::MouseEventSource source);
    template<typename Delivery>
    static bool handleKeyEvent(QWindow *window, QEvent::Type type, int key, Qt::KeyboardModifiers mods,
                               const QString &text, bool autorep, ushort count);
};

namespace {

// Answers one visible dialog per tick: a message strip Yes, an input with a fresh name and Enter.
class DialogAnswerer
{
public:
    DialogAnswerer()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(30);
    }
    // The device goes now: every dialog shown from here on, but the one of the wait it went in,
    // asks or reports again for a device that went.
    void Taken()
    {
        for (QWidget *top : QApplication::topLevelWidgets())
            if (qobject_cast<QDialog *>(top) && top->isVisible())
                m_beforeTake.insert(top);
        m_taken = true;
    }
    int ShownAfterTake() const { return m_shownAfterTake; }

private:
    void Tick()
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *dlg = qobject_cast<QDialog *>(top);
            if (!dlg || !dlg->isVisible() || m_seen.contains(dlg))
                continue;
            m_seen.append(dlg);
            if (m_taken && !m_beforeTake.contains(dlg))
                ++m_shownAfterTake;
            if (qobject_cast<QDottomMessgDlg *>(dlg)) {
                QPushButton *yes = dlg->findChild<QPushButton *>(QStringLiteral("But_Yes"));
                if (yes && yes->isVisible())
                    yes->click();
                else
                    QTest::keyClick(dlg, Qt::Key_Return);
                return;
            }
            if (QLineEdit *edit = dlg->findChild<QLineEdit *>()) {
                edit->setText(QStringLiteral("Swept%1").arg(m_seen.size()));
                QTest::keyClick(edit, Qt::Key_Return);
            }
            QPointer<QDialog> alive(dlg);
            for (const char *name : {"But_Confirm", "pushButton", "But_Yes"}) {
                if (!alive)
                    return;
                QPushButton *b = dlg->findChild<QPushButton *>(QLatin1String(name));
                if (b && b->isVisible()) {
                    b->click();
                    return;
                }
            }
            if (alive && alive->isVisible())
                QTest::keyClick(alive, Qt::Key_Return);
            return;
        }
    }

    QTimer m_timer;
    QList<QPointer<QDialog>> m_seen;
    QSet<QWidget *> m_beforeTake;
    bool m_taken = false;
    int m_shownAfterTake = 0;
};

} // namespace

void WaitSweep::SystemClick(QWidget *widget, Qt::MouseButton button, QPoint pos)
{
    if (pos.isNull())
        pos = widget->rect().center();
    QWidget *top = widget->window();
    QWindow *window = top->windowHandle();
    const QPointF local = widget->mapTo(top, pos);
    const QPointF global = widget->mapToGlobal(pos);
    using Async = QWindowSystemInterface::AsynchronousDelivery;
    QWindowSystemInterface::handleMouseEvent<Async>(window, local, global, button, button, QEvent::MouseButtonPress,
                                                    Qt::NoModifier, Qt::MouseEventNotSynthesized);
    QWindowSystemInterface::handleMouseEvent<Async>(window, local, global, Qt::NoButton, button,
                                                    QEvent::MouseButtonRelease, Qt::NoModifier,
                                                    Qt::MouseEventNotSynthesized);
}

void WaitSweep::SystemKey(QWidget *window, Qt::Key key, const QString &text)
{
    using Async = QWindowSystemInterface::AsynchronousDelivery;
    QWindow *handle = window->window()->windowHandle();
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyPress, key, Qt::NoModifier, text, false, 1);
    QWindowSystemInterface::handleKeyEvent<Async>(handle, QEvent::KeyRelease, key, Qt::NoModifier, text, false, 1);
}

QSet<QString> &WaitSweep::Sites()
{
    static QSet<QString> sites;
    return sites;
}

QString WaitSweep::SitesReport()
{
    QStringList sites = Sites().values();
    sites.sort();
    return QStringLiteral("%1 waiting places reached: %2").arg(sites.size()).arg(sites.join(QLatin1Char(' ')));
}

QMap<QString, QByteArray> WaitSweep::Snapshot(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.endsWith(QLatin1String("/Log.txt")))
            continue;
        QFile f(path);
        files.insert(path, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

int WaitSweep::Sweep(const Run &run)
{
    int opened = 0;
    for (int nth = 1; nth <= run.maxWaits; ++nth) {
        if (!run.setup()) {
            run.teardown();
            QTest::qFail("setup failed", __FILE__, __LINE__);
            return opened;
        }
        int entered = 0;
        bool taken = false;
        QMap<QString, QByteArray> before;
        int askedAgain = 0;
        {
            DialogAnswerer answers;
            NestedWait::SetEnterHook([&](const char *file, int line) {
                Sites().insert(QStringLiteral("%1:%2").arg(QFileInfo(QString::fromUtf8(file)).fileName()).arg(line));
                if (++entered != nth || taken)
                    return;
                taken = true;
                before = Snapshot(run.programDir());
                answers.Taken();
                run.take();
            });
            run.action();
            if (taken)
                QTest::qWaitFor([&] { return !NestedWait::Open() && run.gone(); }, 15000);
            QTest::qWait(100); // what was held runs from the event loop
            askedAgain = answers.ShownAfterTake() - 1;
        }
        NestedWait::SetEnterHook(nullptr);
        opened = qMax(opened, entered);
        if (taken) {
            const bool gone = run.gone();
            const QString dir = run.programDir();
            const QMap<QString, QByteArray> after = Snapshot(dir);
            QStringList changed;
            for (auto it = after.cbegin(); it != after.cend(); ++it)
                if (before.value(it.key(), QByteArray("<absent>")) != it.value())
                    changed << it.key().mid(dir.size() + 1);
            for (auto it = before.cbegin(); it != before.cend(); ++it)
                if (!after.contains(it.key()))
                    changed << it.key().mid(dir.size() + 1) + QStringLiteral(" (removed)");
            run.teardown();
            if (!gone) {
                QTest::qFail(qPrintable(QStringLiteral("device not gone after taking it at wait %1").arg(nth)), __FILE__, __LINE__);
                return opened;
            }
            if (askedAgain > 0) {
                QTest::qFail(qPrintable(QStringLiteral("taken at wait %1, %2 dialog(s) shown after the one it went in")
                                            .arg(nth).arg(askedAgain)),
                             __FILE__, __LINE__);
                return opened;
            }
            if (!changed.isEmpty()) {
                QTest::qFail(qPrintable(QStringLiteral("taken at wait %1, changed: %2").arg(nth).arg(changed.join(QStringLiteral(", ")))),
                             __FILE__, __LINE__);
                return opened;
            }
        } else {
            run.teardown();
            break; // the action opened fewer waits than nth
        }
    }
    return opened;
}
