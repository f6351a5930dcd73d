#pragma once
#include "keyboard/ConfigItem.h"

#include <QTabWidget>
#include <QVector>

class QConfigList;

// The tab widget of the left configuration list: one tab of rows per configuration group.
class QLeftMuenTabWidget : public QTabWidget
{
    Q_OBJECT
public:
    explicit QLeftMuenTabWidget(QWidget *parent = nullptr);
    // Adds a tab named tabName with the caption above its rows and returns its list.
    QConfigList *AddListTab(const QString &tabName, const QString &caption, const QVector<ConfigItem *> &items);
};
