#include "macros/QUserKeyBordConfig.h"

#include "app/MainWidget.h"
#include "mouse/QBackLineMange.h"
#include "mouse/QLStyleBoraWidget.h"

#include <QSettings>

#include <memory>

bool QUserKeyBordConfig::WriteDefault(const QString &path)
{
    QLStyleBoraWidget *frame = QLStyleBoraWidget::instance();
    MainWidget *main = MainWidget::instance();
    if (!frame || !main)
        return false;
    QString name;
    {
        std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
        name = ini ? ini->value(QStringLiteral("default/UserConfig")).toString() : QString();
    }
    // The pictures and levels are those of the configuration the page shows.
    QString levels, pictures, small;
    QBackLineMange store;
    store.Read(QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), name), &levels, &pictures, &small);
    return store.Write(path, levels, pictures, small, frame->LineValueMap());
}

QMap<QString, QVector<LineKeyRecord>> QUserKeyBordConfig::EmptyMap(const QString &) const
{
    return {};
}
