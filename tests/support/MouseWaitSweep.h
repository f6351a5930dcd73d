#pragma once
// The mouse page opened afresh for each run of a wait sweep (see WaitSweep): a fresh program
// folder, one mouse of a family plugged (wired, or through its receiver), its page opened as a
// tile click does; the mouse is taken by unplugging it or by its receiver reporting it asleep.
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class MainWidget;
class TestProgramDir;

class MouseWaitSweep
{
public:
    enum class Take { Unplug, Sleep };
    struct Action
    {
        const char *name;
        int families; // 1: the 20/520 mouse, 2: the second family's, 3: both
        int waits;    // the waits swept: the first ones it opens (a message opens three itself)
        std::function<void(MouseWaitSweep &)> run;
    };
    // Data rows "<family>: <name>" for each action and family, and "20/520 asleep: <name>" for
    // the actions listed in asleep (the mouse reports itself asleep through its receiver).
    static void AddRows(const QVector<Action> &actions, const QVector<int> &asleep);
    // Sweeps the current data row's action.
    static void SweepRow(const QVector<Action> &actions);

    MouseWaitSweep();
    ~MouseWaitSweep();

    // Sweeps the action over the waits it opens (up to maxWaits); fails the current test when it
    // opened none.
    void Sweep(bool second, Take take, const std::function<void()> &action, int maxWaits = 6);
    TestProgramDir &Dir() const { return *m_dir; }
    QString Product() const;
    MainWidget *Main() const { return m_main.get(); }

private:
    bool Open(bool second, bool receiver);
    void Close();

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    uint32_t m_node = 0;
    bool m_second = false;
};
