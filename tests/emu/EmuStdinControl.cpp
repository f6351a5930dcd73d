#include "tests/emu/EmuStdinControl.h"
#include "tests/emu/EmuControl.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <cerrno>
#include <utility>
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

void EmuStdinControl::Install(const QMultiMap<QString, uint32_t> &atStart)
{
    auto *control = new EmuStdinControl(QCoreApplication::instance());
    control->m_plugged = atStart;
    control->Listen(STDIN_FILENO, STDOUT_FILENO);
}

void EmuStdinControl::Listen(int inputFd, int outputFd)
{
    m_outputFd = outputFd;
    m_pending.clear();
    delete m_notifier;
    m_notifier = new QSocketNotifier(inputFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EmuStdinControl::ReadLine);
}

void EmuStdinControl::ReadLine()
{
    char buffer[4096];
    const ssize_t n = ::read(int(m_notifier->socket()), buffer, sizeof(buffer));
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        // End of input: the last line may lack its newline. The program goes on without hand control.
        m_notifier->setEnabled(false);
        if (!m_pending.isEmpty())
            Answer(std::exchange(m_pending, QByteArray()));
        return;
    }
    // A read ends wherever the writer's chunk ended, often inside a line: only whole lines run.
    m_pending.append(buffer, int(n));
    int start = 0;
    for (int nl = m_pending.indexOf('\n'); nl >= 0; nl = m_pending.indexOf('\n', start)) {
        Answer(m_pending.mid(start, nl - start));
        start = nl + 1;
    }
    m_pending.remove(0, start);
}

void EmuStdinControl::Answer(const QByteArray &line)
{
    if (line.trimmed().isEmpty())
        return;
    const QByteArray answer = Execute(QString::fromLocal8Bit(line)).toLocal8Bit() + '\n';
    for (int done = 0; done < answer.size();) {
        const ssize_t n = ::write(m_outputFd, answer.constData() + done, size_t(answer.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // nobody reads the answers any more
        done += int(n);
    }
}

QString EmuStdinControl::Execute(const QString &line)
{
    const QStringList words = line.simplified().toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() == 1 && words.first() == QLatin1String("list")) {
        QStringList parts;
        for (auto it = m_plugged.cbegin(); it != m_plugged.cend(); ++it)
            parts << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
        return parts.isEmpty() ? QStringLiteral("nothing plugged") : parts.join(QLatin1Char(' '));
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
            return QStringLiteral("no %1 plugged").arg(name);
        const uint32_t node = nodes.first();
        m_plugged.remove(name, node);
        emu::Unplug(node, true);
        return QStringLiteral("unplugged %1 (node %2)").arg(name).arg(node);
    }
    return QStringLiteral("unknown command: %1").arg(words.first());
}
