#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers each message strip once, Yes or Cancel (its button, else Return or Escape), and keeps
// the texts it showed; runs a step first when one is given.
// One strip per tick: answering runs events that can delete other windows.
class MessageAnswerer
{
public:
    explicit MessageAnswerer(bool yes = true, std::function<void()> before = nullptr, int intervalMs = 30);
    QString shown() const { return m_shown; }
    int count() const { return m_seen.size(); }

private:
    void Tick();

    QTimer m_timer;
    bool m_yes;
    std::function<void()> m_before;
    QString m_shown;
    QList<QPointer<QWidget>> m_seen;
};
