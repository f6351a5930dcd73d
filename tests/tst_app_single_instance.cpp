#include "tests/support/TestProgramDir.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Runs the built program (emulator build, no devices) twice on one program folder.
class TstAppSingleInstance : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_runtime;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        env.insert("QUORIX_EMU", "");
        return env;
    }

    static int countOf(const QByteArray &hay, const QByteArray &needle)
    {
        int n = 0;
        for (int i = hay.indexOf(needle); i >= 0; i = hay.indexOf(needle, i + 1))
            ++n;
        return n;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void secondStartExitsWithOne()
    {
        TestProgramDir dir;
        const QString program = dir.filePath("quorix-hub-emu");
        QVERIFY(QFile::copy(QStringLiteral(QUORIX_HUB_EMU_BINARY), program));

        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(program, QStringList());
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(dir.readFile("Log.txt").contains("OPenApp Zr Hub End"), 30000);

        QProcess second;
        second.setProcessEnvironment(environment());
        second.start(program, QStringList());
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 1);
        // The second copy built no window: the log still holds one start.
        QCOMPARE(countOf(dir.readFile("Log.txt"), "OPenApp Zr Hub   "), 1);

        // A lock left behind by a killed copy does not block the next start.
        first.kill();
        QVERIFY(first.waitForFinished(10000));
        QProcess third;
        third.setProcessEnvironment(environment());
        third.start(program, QStringList());
        QVERIFY(third.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(countOf(dir.readFile("Log.txt"), "OPenApp Zr Hub End"), 2, 30000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        QVERIFY(third.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TstAppSingleInstance)
#include "tst_app_single_instance.moc"
