#include "tests/support/MouseKeyRows.h"
#include "macros/QJsonConfing.h"
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

bool WriteMacroFile(const TestProgramDir &dir, const QString &product, const QString &name, const QByteArray &records,
                    int runWay, int runOne)
{
    QJsonConfing store(dir.filePath(QStringLiteral("Products/%1/moidefConfig").arg(product)));
    return store.WriteMacroFile(name, QJsonConfing::ImageToHex(QJsonConfing::MacroImage(name, records)), runWay, runOne);
}

void AddMacroColumn(QLStyleMouseTabWidget *page, const QString &macro)
{
    LineKeyRecord row;
    row.sendAddress = 3;
    row.defaultCode = QStringLiteral("01010000");
    row.valueType = 1;
    row.reName = macro;
    auto *column = new QGradualChangeLine(page->m_LStyleBoraWidget);
    column->SetColumnName(QStringLiteral("L"));
    column->SetLines({row});
}
