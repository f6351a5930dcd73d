#pragma once
// An X display for the tests of the system-wide capture: the one named in QUORIX_TEST_XDISPLAY
// (started by scripts/test.sh), else an Xvfb of our own on a free display, stopped with us.
#include <QByteArray>
#include <QProcess>
#include <QString>

class XvfbDisplay
{
public:
    XvfbDisplay();
    ~XvfbDisplay();
    // Empty when no X server can run here; Why() says why.
    QByteArray Name() const { return m_name; }
    QString Why() const { return m_why; }

private:
    // Hands the child the write end of a pipe as its file descriptor 3.
    class Server : public QProcess
    {
    public:
        int fd = -1;

    protected:
        void setupChildProcess() override;
    };
    Server m_server;
    QByteArray m_name;
    QString m_why;
};
