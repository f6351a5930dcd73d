#include "keyboard/KeyConfigChoice.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/QXM_Process.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "macros/ConfigDirFiles.h"
#include "macros/QJsonConfing.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <memory>

namespace {
// Hidden from every listing (and no name a user can type): the keyboard is sent these copies,
// which hold every layer of the page, so the chosen file stays as it is.
const char kSending[] = "/.Choosing.xml";
const char kBefore[] = "/.ChosenBefore.xml";
} // namespace

KeyConfigChoice::KeyConfigChoice(QObject *parent) : QObject(parent)
{
    // A keyboard that never answers a layer ends the choice as one that refused it.
    m_answerTimer.setSingleShot(true);
    m_answerTimer.setInterval(10000);
    connect(&m_answerTimer, &QTimer::timeout, this, &KeyConfigChoice::on_NoAnswer);
    connect(this, &KeyConfigChoice::SendLayer, &m_answerTimer, qOverload<>(&QTimer::start));
}

KeyConfigChoice::~KeyConfigChoice()
{
    Abandon();
}

bool KeyConfigChoice::Start(const Setup &setup, const QString &name, QString *refusal)
{
    refusal->clear();
    if (m_running)
        return false;
    const QString path = QStringLiteral("%1/%2.xml").arg(setup.userConfigDir, name);
    QVector<QStringList> order;
    KeyProfileLayers layers;
    if (IsSafeFileComponent(name) && ConfigDirFiles::IsSafeName(name))
        layers = QConfigBuildManage_Pro().ReadKeyConfig(path, &order);
    const bool read = !layers.isEmpty();
    QString missing;
    for (int l = 0; l < order.size() && missing.isEmpty(); ++l)
        for (const QString &key : order.at(l)) {
            const _KeyValueInfo *info = layers.at(l)->value(key);
            const QString file = QJsonConfing::MacroFilePath(setup.macroDir, info->LeftValue);
            if (info->type == 3 && (file.isEmpty() || !QFileInfo(file).isFile())) {
                missing = GetLangText(770).arg(key, info->LeftValue);
                break;
            }
        }
    const int count = std::max<int>(setup.layerNames.size(), layers.size());
    FreeKeyProfileLayers(layers);
    if (!read || !missing.isEmpty()) {
        WriteLogLine(QStringLiteral("keyboard configuration not chosen: %1 %2").arg(path, read ? missing : "cannot be read"));
        *refusal = read ? missing : GetLangText(396);
        return false;
    }
    m_setup = setup;
    m_sending = setup.userConfigDir + QLatin1String(kSending);
    m_before = setup.userConfigDir + QLatin1String(kBefore);
    if (!Stage(path, m_sending)) {
        WriteLogLine(QStringLiteral("keyboard configuration not chosen: %1 not staged").arg(path));
        QFile::remove(m_sending);
        *refusal = GetLangText(388);
        return false;
    }
    // Without a configuration before that reads, there is nothing to put back.
    const std::unique_ptr<QSettings> ini(OpenIniFile(setup.dataIni));
    m_previous = ini ? ini->value(QStringLiteral("default/UserConfig")).toString() : QString();
    const bool before = IsSafeFileComponent(m_previous)
                        && Stage(QStringLiteral("%1/%2.xml").arg(setup.userConfigDir, m_previous), m_before);
    if (!before) {
        QFile::remove(m_before);
        m_before.clear();
    }
    m_name = name;
    m_count = count;
    m_next = 0;
    m_rolling = false;
    m_running = true;
    m_text.clear();
    m_wait = std::make_unique<NestedWait::Scope>();
    Q_EMIT SendLayer(m_sending, 0);
    return true;
}

bool KeyConfigChoice::Stage(const QString &from, const QString &to) const
{
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(from);
    bool ok = !layers.isEmpty();
    while (ok && layers.size() < m_setup.layerNames.size())
        layers.append(new KeyLayerTable);
    ok = ok && QConfigBuildManage_Pro().WriteKeyConfig(to, layers, m_setup.layerNames, m_setup.product);
    FreeKeyProfileLayers(layers);
    return ok;
}

bool KeyConfigChoice::StoreName() const
{
    const std::unique_ptr<QSettings> ini(OpenIniFile(m_setup.dataIni));
    if (!ini)
        return false;
    ini->setValue(QStringLiteral("default/UserConfig"), m_name);
    ini->sync();
    return ini->status() == QSettings::NoError;
}

void KeyConfigChoice::on_LayerWritten(bool succeeded)
{
    if (!m_running)
        return;
    m_answerTimer.stop();
    if (m_rolling) {
        if (!succeeded) {
            WriteLogLine(QStringLiteral("keyboard configuration %1 not put back at layer %2").arg(m_previous).arg(m_next));
            return End(false, GetLangText(1000));
        }
        if (++m_next >= m_rollEnd)
            return End(false, m_text);
        Q_EMIT SendLayer(m_before, static_cast<uchar>(m_next));
        return;
    }
    if (!succeeded) // the keyboard's refusal has said why
        return RollBack(m_next + 1, QString());
    if (++m_next < m_count) {
        Q_EMIT SendLayer(m_sending, static_cast<uchar>(m_next));
        return;
    }
    // The one commit: the keyboard holds every layer of the choice.
    if (StoreName())
        return End(true, QString());
    WriteLogLine(QStringLiteral("keyboard configuration %1 taken but not stored").arg(m_name));
    RollBack(m_count, GetLangText(999));
}

void KeyConfigChoice::on_NoAnswer()
{
    if (!m_running)
        return;
    WriteLogLine(QStringLiteral("keyboard configuration %1: no answer to layer %2").arg(m_name).arg(m_next));
    if (m_rolling)
        return End(false, GetLangText(1000));
    RollBack(m_next + 1, GetLangText(772));
}

void KeyConfigChoice::RollBack(int layers, const QString &text)
{
    m_text = text;
    if (m_before.isEmpty())
        return End(false, text);
    m_rolling = true;
    m_next = 0;
    m_rollEnd = layers;
    Q_EMIT SendLayer(m_before, 0);
}

void KeyConfigChoice::End(bool chosen, const QString &text)
{
    m_running = false;
    m_answerTimer.stop();
    m_wait.reset(); // what the choice held follows once the page has shown its outcome
    QFile::remove(m_sending);
    if (!m_before.isEmpty())
        QFile::remove(m_before);
    Q_EMIT Finished(chosen, chosen ? m_name : m_previous, text);
}

void KeyConfigChoice::Abandon()
{
    m_running = false;
    m_answerTimer.stop();
    m_wait.reset();
}
