#include "tests/support/XvfbDisplay.h"

#include <QStandardPaths>

#include <unistd.h>

void XvfbDisplay::Server::setupChildProcess()
{
    dup2(fd, 3);
}

XvfbDisplay::XvfbDisplay()
{
    m_name = qgetenv("QUORIX_TEST_XDISPLAY");
    if (!m_name.isEmpty())
        return;
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_why = QStringLiteral("no X server can run here: Xvfb is not installed");
        return;
    }
    // Xvfb picks a free display itself and writes its number to the file descriptor given.
    int fds[2];
    if (pipe(fds) != 0) {
        m_why = QStringLiteral("no pipe for Xvfb's display number");
        return;
    }
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.fd = fds[1];
    m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("3"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                          QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24")});
    close(fds[1]);
    QByteArray number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number.append(c);
    close(fds[0]);
    if (!m_server.waitForStarted(5000) || number.isEmpty()) {
        m_why = QStringLiteral("Xvfb did not start");
        return;
    }
    m_name = ":" + number;
}

XvfbDisplay::~XvfbDisplay()
{
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(2000);
    }
}
