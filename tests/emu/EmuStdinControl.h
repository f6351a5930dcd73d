#pragma once
#include <QObject>
#include <QString>
#include <QByteArray>
#include <QMap>

class QSocketNotifier;

// quorix-hub-emu's hand control: lines on standard input plug and unplug emulated devices
// while the program runs ("plug keyboard", "unplug keyboard", "list"). The device names are
// those of QUORIX_EMU; the devices it plugged at start can be unplugged as well.
class EmuStdinControl : public QObject
{
    Q_OBJECT
public:
    explicit EmuStdinControl(QObject *parent = nullptr);

    // Carries out one command line; returns the answer printed for it.
    QString Execute(const QString &line);

    // Starts reading standard input (quorix-hub-emu calls it once the application exists);
    // atStart: the devices QUORIX_EMU plugged, by name.
    static void Install(const QMultiMap<QString, uint32_t> &atStart);

    // Reads command lines from inputFd as they arrive and writes each answer, one line, to
    // outputFd. At end of input a last line without its newline is still carried out.
    void Listen(int inputFd, int outputFd);

private:
    void ReadLine();
    void Answer(const QByteArray &line);

    QSocketNotifier *m_notifier = nullptr;
    int m_outputFd = -1;
    QByteArray m_pending; // the start of a line whose newline has not arrived yet
    QMultiMap<QString, uint32_t> m_plugged; // name -> nodes, newest first
};
