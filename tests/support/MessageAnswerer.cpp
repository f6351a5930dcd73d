#include "tests/support/MessageAnswerer.h"

#include "widgets/QDottomMessgDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

MessageAnswerer::MessageAnswerer(bool yes, std::function<void()> before, int intervalMs)
    : m_yes(yes), m_before(std::move(before))
{
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start();
}

void MessageAnswerer::Tick()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        auto *dlg = qobject_cast<QDottomMessgDlg *>(top);
        if (!dlg || !dlg->isVisible() || m_seen.contains(dlg))
            continue;
        m_seen.append(dlg);
        for (QLabel *l : dlg->findChildren<QLabel *>())
            m_shown += l->text();
        if (m_before)
            m_before();
        QPointer<QDottomMessgDlg> alive(dlg);
        if (!alive)
            return;
        QPushButton *button = dlg->findChild<QPushButton *>(m_yes ? QStringLiteral("But_Yes") : QStringLiteral("But_Cancel"));
        if (button && button->isVisible())
            button->click();
        else
            QTest::keyClick(dlg, m_yes ? Qt::Key_Return : Qt::Key_Escape);
        return;
    }
}
