#pragma once
#include "keyboard/KeyValueInfo.h"

#include <QObject>
#include <QStringList>

class QDomNode;

// Reader and writer of a keyboard user configuration (key assignments of every layer). Holds
// nothing between calls, so the page and the workers' threads may each use their own.
class QConfigBuildManage_Pro : public QObject
{
    Q_OBJECT
public:
    explicit QConfigBuildManage_Pro(QObject *parent = nullptr) : QObject(parent) {}

    // Layers 0..n-1 for the n distinct "Keylevel_ID" IDs; empty for a missing or foreign file.
    // keyOrder, when given, receives each layer's key names in the order of the file.
    KeyProfileLayers ReadKeyConfig(const QString &path, QVector<QStringList> *keyOrder = nullptr);
    _KeyValueInfo *ReadKeyEdit(const QDomNode &node);

    // An unknown word reads as the basic-key type: the workers ignore it and it is written back.
    static int TypeFromName(const QString &word);
    static QString TypeName(int type); // empty outside 0..8

    // Writes one "Keylevel_ID" per layer name and per table (an empty one for a name without a
    // table, the number as the name of a table without one), at most 255; false when the file
    // could not be written, which then keeps its old content. The two-argument form takes the
    // keyboard page's layer names and the current product name.
    bool WriteKeyConfig(const QString &path, const KeyProfileLayers &layers);
    // The configurations of a folder (file base names) with a key or mouse button that plays
    // the macro.
    static QStringList ConfigsNamingMacro(const QString &folder, const QString &macro);
    // Every key (keyboard file) or button (mouse file) of the file that plays the macro plays it
    // under its new name; the file is otherwise kept as it is, and not written when nothing in
    // it plays the macro (or it is no configuration that can be read). False when it could not
    // be written (it then stays as it was). renamed receives the places of the rows it changed.
    static bool RenameMacroKeys(const QString &path, const QString &from, const QString &to,
                                QVector<int> *renamed = nullptr);
    // Undoes that rename: only the rows it changed (its renamed places, ascending) that still
    // play `to` play `from` again; the rows that played `to` before it keep it.
    static bool PutBackMacroKeys(const QString &path, const QString &from, const QString &to,
                                 const QVector<int> &renamed);
    bool WriteKeyConfig(const QString &path, const KeyProfileLayers &layers, const QStringList &layerNames,
                        const QString &productName);

private:
    // The macro rows of the file (all, or the places in *only) that play `from` play `to`;
    // *changed receives the places changed. A file with nothing to change is not written.
    static bool Retarget(const QString &path, const QString &from, const QString &to, const QVector<int> *only,
                         QVector<int> *changed);
};
