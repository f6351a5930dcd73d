#pragma once
// Records a signal like QSignalSpy, for signals sent from another thread. QSignalSpy appends in
// the sending thread while the test's thread reads and clears the same list; here every emission
// arrives queued on the thread that made the spy, so only that thread touches the list. The
// arguments are copied when the signal is sent, as for any queued call. Emissions show once the
// spy's thread processes its events (QTRY_*, qWait, processEvents).
#include <QList>
#include <QObject>
#include <QVariant>

class QueuedSignalSpy : public QObject, public QList<QList<QVariant>>
{
public:
    template <typename Func>
    QueuedSignalSpy(const typename QtPrivate::FunctionPointer<Func>::Object *sender, Func signal)
    {
        connect(sender, signal, this, Recorder(typename QtPrivate::FunctionPointer<Func>::Arguments()),
                Qt::QueuedConnection);
    }

private:
    template <typename... Args>
    auto Recorder(QtPrivate::List<Args...>)
    {
        return [this](Args... args) { append(QList<QVariant>{QVariant::fromValue(args)...}); };
    }
};
