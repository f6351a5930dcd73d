#include "EffctRecorder.h"

#include "lighting/LightFramePool.h"
#include "lighting/QEffctBase.h"

namespace {
QVector<ushort> s_keys;
QVector<int> s_randoms;
int s_next = 0;
QString s_rowsFile;

int ScriptedRandom()
{
    // Past the script the numbers count up, so that no loop waits for ever on one value.
    const int value = s_next < s_randoms.size() ? s_randoms.at(s_next) : s_next;
    ++s_next;
    return value;
}
QVector<ushort> ScriptedKeys()
{
    return s_keys;
}
QSettings *RowsFile()
{
    if (s_rowsFile.isEmpty())
        return nullptr;
    auto *ini = new QSettings(s_rowsFile, QSettings::IniFormat);
    ini->setIniCodec("utf-8");
    return ini;
}
} // namespace

EffctRecorder::EffctRecorder(QEffctBase *effct)
{
    connect(effct, &QEffctBase::DispEffct_A, this, [this](uchar *datas, uchar alpha) {
        Event e;
        e.kind = 'F';
        if (datas)
            e.frame = QByteArray(reinterpret_cast<const char *>(datas), LightFramePool::kSize);
        LightFramePool::Release(datas);
        e.alpha = alpha;
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.append(e);
    }, Qt::DirectConnection);
    connect(effct, &QEffctBase::DispButtonColor, this, [this](ushort key, uchar r, uchar g, uchar b, ushort alpha) {
        Event e;
        e.kind = 'B';
        e.key = key;
        e.r = r;
        e.g = g;
        e.b = b;
        e.alpha = alpha;
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.append(e);
    }, Qt::DirectConnection);
    connect(effct, &QEffctBase::ClearDisp, this, [this] {
        Event e;
        e.kind = 'C';
        std::lock_guard<std::mutex> lock(m_lock);
        m_events.append(e);
    }, Qt::DirectConnection);
}

QVector<EffctRecorder::Event> EffctRecorder::Take()
{
    std::lock_guard<std::mutex> lock(m_lock);
    QVector<Event> out;
    out.swap(m_events);
    return out;
}

void EffctRecorder::Install(const QVector<ushort> &keys, const QVector<int> &randoms, const QString &rowsFile)
{
    s_keys = keys;
    s_randoms = randoms;
    s_next = 0;
    s_rowsFile = rowsFile;
    QEffctBase::SetKeyPositionSource(&ScriptedKeys);
    QEffctBase::SetRandomSource(&ScriptedRandom);
    QEffctBase::SetRowsFileOpener(&RowsFile);
}

void EffctRecorder::Uninstall()
{
    QEffctBase::SetKeyPositionSource(nullptr);
    QEffctBase::SetRandomSource(nullptr);
    QEffctBase::SetRowsFileOpener(nullptr);
}

int EffctRecorder::RandomsUsed()
{
    return s_next;
}
