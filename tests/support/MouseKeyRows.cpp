#include "tests/support/MouseKeyRows.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/support/TestProgramDir.h"

QLStyleMouseTabWidget *ShowKeyRows(const QString &column, const QVector<LineKeyRecord> &records, uchar selectedKey)
{
    auto *tab = new QLStyleMouseTabWidget;
    tab->m_CurrentKeyIndex = selectedKey;
    if (!records.isEmpty()) {
        auto *lines = new QGradualChangeLine(QLStyleBoraWidget::instance());
        lines->SetColumnName(column);
        lines->SetLines(records);
    }
    return tab;
}

bool WriteMacroFile(const TestProgramDir &dir, const QString &product, const QString &name, const QByteArray &events,
                    const QString &extraJson)
{
    const QString json = QStringLiteral("{\"%1\": {\"mdfdata\": \"%2\"%3}}")
                             .arg(name, QString::fromLatin1(events.toHex()), extraJson);
    return dir.writeFile(QStringLiteral("Products/%1/moidefConfig/%2.bin").arg(product, name), json.toUtf8());
}
