#pragma once
// A new user configuration file of the mouse page: the current configuration's pictures and
// level names with the buttons as the page holds them now, in the page's own profile format, so
// the configuration panel can open it like any other.
#include "mouse/LineKeyRecord.h"

#include <QMap>
#include <QObject>
#include <QVector>

class QUserKeyBordConfig : public QObject
{
    Q_OBJECT
public:
    explicit QUserKeyBordConfig(QObject *parent = nullptr) : QObject(parent) {}

    // False (nothing written) without a mouse page or when the file cannot be written whole.
    bool WriteDefault(const QString &path);
    // What a user configuration row opens: nothing; the file is not read.
    QMap<QString, QVector<LineKeyRecord>> EmptyMap(const QString &path) const;
};
