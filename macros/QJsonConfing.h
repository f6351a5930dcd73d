#pragma once
#include <QByteArray>
#include <QObject>
#include <QStringList>

// The macro file store: one JSON document per macro in the product's macro folder.
class QJsonConfing : public QObject
{
    Q_OBJECT
public:
    explicit QJsonConfing(QObject *parent = nullptr);

    // The recorded events of macro "name" and its "RunWay"/"RunOne" values; empty when the
    // file is missing, holds no data, or its data is not clean hex.
    QByteArray ReadMacroData(const QString &name, int &runWay, int &runOne);

    // The "RunWay"/"RunOne" of a macro file; the outputs keep their values when it is missing.
    static void ReadRunMode(const QString &path, int &runWay, int &runOne);

    // The recorded events of the macro file at path; empty when it is missing, holds no data or
    // its data is not clean hex.
    static QByteArray ReadMacroEvents(const QString &path);

    // The macro files ("*.bin") of the current product's macro folder, sorted by name; base
    // names without ".bin" when baseNames is true.
    QStringList ListMacroFiles(bool baseNames);

    // The macro file of a name in a folder; empty when the name is not one safe file name.
    static QString MacroFilePath(const QString &folder, const QString &name);
};
