#pragma once
#include <QByteArray>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVector>
#include <mutex>

class QEffctBase;

// What an effect emitted, in order: whole frames (copied, the pool frame given back), key colours
// and clears. Also the scripted sources the effects read instead of the C library's generator,
// the on-screen keyboard and the product folder.
class EffctRecorder : public QObject
{
public:
    struct Event
    {
        char kind = 0; // 'F' frame, 'B' key colour, 'C' clear
        QByteArray frame;
        int alpha = 0;
        ushort key = 0;
        uchar r = 0, g = 0, b = 0;
    };

    explicit EffctRecorder(QEffctBase *effct);
    QVector<Event> Take();

    // The sources used by every effect while a test runs.
    static void Install(const QVector<ushort> &keys, const QVector<int> &randoms, const QString &rowsFile);
    static void Uninstall();
    static int RandomsUsed();

private:
    std::mutex m_lock;
    QVector<Event> m_events;
};
