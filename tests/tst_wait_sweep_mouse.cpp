// The mouse takes itself away on entering each wait of an action of its key page (its button
// columns, its lists, its configuration panel): no crash, no sanitizer report, no user file
// changed after. Its other inner pages are swept in tst_wait_sweep_mouse_dpi.
#include "keyboard/QConfigList.h"
#include "keyboard/QConfigListItemBase.h"
#include "macros/QConfigDirs.h"
#include "macros/QGenerateFile.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/MouseWaitSweep.h"
#include "tests/support/WaitSweep.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>

namespace {
using Action = MouseWaitSweep::Action;

QLStyleMouseTabWidget *Tab() { return QLStyleMouseTabWidget::instance(); }
QLStyleBoraWidget *Frame() { return QLStyleBoraWidget::instance(); }
QGradualChangeLine *TopColumn() { return qobject_cast<QGradualChangeLine *>(Frame()->Pages()->widget(0)); }

void Press(QWidget *row, Qt::MouseButton button = Qt::LeftButton, QEvent::Type type = QEvent::MouseButtonPress)
{
    QMouseEvent event(type, QPointF(40, 10), row->mapToGlobal(QPoint(40, 10)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(row, &event);
}

// The first row, or the named one, of a tab's list of the page.
QWidget *ListRow(int tab, const QString &name = QString())
{
    QConfigList *list = Frame()->ConfigLists().value(tab);
    if (tab == 2)
        list->LoadMacroItems(Frame()->ProductDir());
    return list->Row(name.isEmpty() ? list->item(0) : list->FindItem(name));
}

void PanelButton(const char *button, const QString &row = QString())
{
    QConfigDirs *panel = Frame()->ConfigDirs();
    panel->Refresh();
    if (!row.isEmpty())
        panel->List()->setCurrentItem(panel->List()->findItems(row, Qt::MatchExactly).value(0));
    panel->findChild<QPushButton *>(QLatin1String(button))->click();
}

// Keys reach a dialog of type T only once it has shown itself and taken the focus, as a user's
// do: what is typed before (the sweep answers at once) is typed again then. A file dialog takes
// the given file instead, and none of the sweep's keys.
template <typename T>
class LateKeys : public QObject
{
public:
    explicit LateKeys(const QString &file = QString()) : m_file(file) { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *target = qobject_cast<QWidget *>(watched);
        auto *dialog = target ? qobject_cast<T *>(target->window()) : nullptr;
        if (!dialog)
            return false;
        if (watched == dialog && event->type() == QEvent::Show) {
            m_shown.start();
            if (auto *files = qobject_cast<QFileDialog *>(dialog))
                QTimer::singleShot(0, files, [files, file = m_file] {
                    files->template findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(file);
                    static_cast<QDialog *>(files)->accept();
                });
        }
        if (event->type() != QEvent::KeyPress || !m_shown.isValid() || (m_file.isEmpty() && m_shown.elapsed() > 300))
            return false;
        if (m_file.isEmpty()) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            QTimer::singleShot(301 - int(m_shown.elapsed()), target, [target, key] { QTest::keyClick(target, Qt::Key(key)); });
        }
        return true;
    }

private:
    QString m_file;
    QElapsedTimer m_shown;
};

const QVector<Action> &Actions()
{
    static const QVector<Action> actions{
        {"column reset", 3, 5, [](MouseWaitSweep &) { TopColumn()->on_ResetButtonCheck(); }},
        {"macro of a button changed", 3, 4, [](MouseWaitSweep &s) {
             WriteMacroFile(s.Dir(), s.Product(), QStringLiteral("m1"), QByteArray::fromHex("10000004"));
             AddMacroColumn(Tab(), QStringLiteral("m1"));
             Tab()->on_MacroFileChangge(QStringLiteral("m1"));
         }},
        {"button reset", 3, 4, [](MouseWaitSweep &) {
             QLineInfo *right = TopColumn()->Lines().at(1);
             right->SetRecode(QStringLiteral("01040000"));
             TopColumn()->on_ReSetButton(right);
         }},
        {"button assigned", 3, 1, [](MouseWaitSweep &) { Frame()->on_LineValueDtdaChange(); }},
        {"configuration chosen in the panel", 3, 1,
         [](MouseWaitSweep &) { Frame()->on_ConfigDirs_Itemclicked(QStringLiteral("Burst")); }},
        {"last left button kept", 1, 1, [](MouseWaitSweep &) {
             QLineInfo *left = TopColumn()->Lines().at(0), *right = TopColumn()->Lines().at(1);
             left->SetRecode(QStringLiteral("01020000"));
             left->SetNameId(629);
             right->SetRecode(QStringLiteral("01010000"));
             right->SetNameId(244);
             TopColumn()->on_ReSetButton(right);
         }},
        {"new macro named", 1, 2, [](MouseWaitSweep &) {
             LateKeys<QGenerateFile> keys;
             Press(ListRow(2));
         }},
        {"macro renamed in its list", 1, 1, [](MouseWaitSweep &) {
             QWidget *row = ListRow(2, QStringLiteral("Burst"));
             Press(row, Qt::RightButton);
             Press(row, Qt::RightButton, QEvent::MouseButtonRelease);
         }},
        {"function group folded", 1, 2, [](MouseWaitSweep &) { Press(ListRow(0)); }},
        {"new configuration from its list", 1, 1, [](MouseWaitSweep &) { Press(ListRow(3)); }},
        {"configuration added in the panel", 1, 1, [](MouseWaitSweep &) { PanelButton("But_AddFile"); }},
        {"configuration added under a name in use", 1, 3, [](MouseWaitSweep &s) {
             // the sweep's first name is taken already: the panel refuses it and asks again
             const QString folder = s.Dir().filePath(QStringLiteral("Products/QM8/UserConfig/"));
             QFile::copy(folder + QStringLiteral("Burst.xml"), folder + QStringLiteral("Swept1.xml"));
             PanelButton("But_AddFile");
         }},
        {"configuration renamed in the panel", 1, 1,
         [](MouseWaitSweep &) { PanelButton("But_RenameFile", QStringLiteral("Burst")); }},
        {"configuration imported in the panel", 1, 2, [](MouseWaitSweep &s) {
             const QString file = s.Dir().filePath(QStringLiteral("Night.xml"));
             QFile::copy(s.Dir().filePath(QStringLiteral("Products/QM8/UserConfig/Burst.xml")), file);
             LateKeys<QFileDialog> answer(file);
             PanelButton("But_InPutFile");
         }},
        {"configuration exported from the panel", 1, 1, [](MouseWaitSweep &s) {
             LateKeys<QFileDialog> answer(s.Dir().filePath(QStringLiteral("Out.xml")));
             PanelButton("But_OutFile", QStringLiteral("Burst"));
         }},
    };
    return actions;
}
} // namespace

class TstWaitSweepMouse : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void actions_data() { MouseWaitSweep::AddRows(Actions(), {2}); }
    void actions() { MouseWaitSweep::SweepRow(Actions()); }
    void cleanupTestCase() { qInfo("%s", qPrintable(WaitSweep::SitesReport())); }
};

QTEST_MAIN(TstWaitSweepMouse)
#include "tst_wait_sweep_mouse.moc"
