#include "tests/emu/EmuStdinControl.h"
#include "tests/emu/EmuControl.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <unistd.h>

namespace {
bool ModelOf(const QString &name, emu::Model &model)
{
    static const QMap<QString, emu::Model> models = {
        {QStringLiteral("keyboard"), emu::Model::KeyboardWired},
        {QStringLiteral("keyboard-receiver"), emu::Model::KeyboardReceiver},
        {QStringLiteral("mouse"), emu::Model::MouseWired},
        {QStringLiteral("mouse-receiver"), emu::Model::MouseReceiver},
        {QStringLiteral("mouse2"), emu::Model::SecondFamilyWired},
        {QStringLiteral("mouse2-receiver"), emu::Model::SecondFamilyReceiver},
    };
    auto it = models.find(name);
    if (it == models.end())
        return false;
    model = it.value();
    return true;
}
} // namespace

EmuStdinControl::EmuStdinControl(QObject *parent) : QObject(parent)
{
}

void EmuStdinControl::Install()
{
    auto *control = new EmuStdinControl(QCoreApplication::instance());
    control->m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, control);
    connect(control->m_notifier, &QSocketNotifier::activated, control, &EmuStdinControl::ReadLine);
}

void EmuStdinControl::ReadLine()
{
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer) - 1);
    if (n <= 0) {
        m_notifier->setEnabled(false); // end of input: the program goes on without hand control
        return;
    }
    buffer[n] = '\0';
    for (const QString &line : QString::fromLocal8Bit(buffer).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString answer = Execute(line);
        std::fprintf(stdout, "%s\n", answer.toLocal8Bit().constData());
        std::fflush(stdout);
    }
}

QString EmuStdinControl::Execute(const QString &line)
{
    const QStringList words = line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() == 1 && words.first() == QLatin1String("list")) {
        QStringList parts;
        for (auto it = m_plugged.cbegin(); it != m_plugged.cend(); ++it)
            parts << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
        return parts.isEmpty() ? QStringLiteral("nothing plugged by hand") : parts.join(QLatin1Char(' '));
    }
    emu::Model model;
    if (words.size() != 2 || !ModelOf(words.at(1), model))
        return QStringLiteral("usage: plug|unplug keyboard|keyboard-receiver|mouse|mouse-receiver|mouse2|mouse2-receiver, or list");
    const QString &name = words.at(1);
    if (words.first() == QLatin1String("plug")) {
        const uint32_t node = emu::Plug(emu::MakeDevice(model), true);
        m_plugged.insert(name, node);
        return QStringLiteral("plugged %1 as node %2").arg(name).arg(node);
    }
    if (words.first() == QLatin1String("unplug")) {
        const QList<uint32_t> nodes = m_plugged.values(name); // newest first
        if (nodes.isEmpty())
            return QStringLiteral("no %1 plugged by hand").arg(name);
        const uint32_t node = nodes.last();
        m_plugged.remove(name, node);
        emu::Unplug(node, true);
        return QStringLiteral("unplugged %1 (node %2)").arg(name).arg(node);
    }
    return QStringLiteral("unknown command: %1").arg(words.first());
}
