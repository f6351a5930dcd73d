#pragma once
#include <QObject>
#include <QString>
#include <QMap>

class QSocketNotifier;

// quorix-hub-emu's hand control: lines on standard input plug and unplug emulated devices
// while the program runs ("plug keyboard", "unplug keyboard", "list"). The device names are
// those of QUORIX_EMU.
class EmuStdinControl : public QObject
{
    Q_OBJECT
public:
    explicit EmuStdinControl(QObject *parent = nullptr);

    // Carries out one command line; returns the answer printed for it.
    QString Execute(const QString &line);

    // Starts reading standard input (quorix-hub-emu calls it once the application exists).
    static void Install();

private:
    void ReadLine();

    QSocketNotifier *m_notifier = nullptr;
    QMultiMap<QString, uint32_t> m_plugged; // name -> nodes, oldest first
};
