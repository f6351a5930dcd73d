#pragma once
#include <QByteArray>
#include <QMap>
#include <QPoint>
#include <QSet>
#include <QString>

#include <functional>

class QWidget;

// Takes the current device away on entering a chosen wait of an action and checks what the
// action did afterwards: no crash (the sanitizer build), no user file changed from the moment
// the wait began, and every waiting place it reached.
class WaitSweep
{
public:
    struct Run
    {
        std::function<bool()> setup;    // fresh folder, device plugged, page open; false: failed
        std::function<void()> action;   // the user's action, as a click does it
        std::function<void()> take;     // takes the device away (unplug, sleep)
        std::function<bool()> gone;     // the device's teardown has run
        std::function<void()> teardown; // closes what setup made
        std::function<QString()> programDir; // the folder whose files must not change after the take
        int maxWaits = 6;               // waits taken in turn: the 1st, then the 2nd, ...
    };
    // Runs the action once per wait it opens (up to maxWaits), on a fresh setup each time, with
    // the device taken on entering that wait; every dialog is answered Yes, with a fresh name
    // where it asks for one. Fails the current test on a changed file. Returns
    // the number of waits the action opened (0: it opened none).
    static int Sweep(const Run &run);
    // Every waiting place ("file:line") reached so far in this process.
    static QSet<QString> &Sites();
    // "N waiting places reached: ..." of Sites(), sorted.
    static QString SitesReport();
    // A click as the window system gives it: press and release queued for the event loop of
    // the GUI thread (a wait's loop included), at `pos` of `widget` (its centre when null),
    // delivered to whatever is under that point then.
    static void SystemClick(QWidget *widget, Qt::MouseButton button, QPoint pos = QPoint());
    // A key pressed and released as the window system gives it to the window of `window`: it
    // reaches the focused widget there.
    static void SystemKey(QWidget *window, Qt::Key key, const QString &text = QString());

private:
    static QMap<QString, QByteArray> Snapshot(const QString &dir);
};
