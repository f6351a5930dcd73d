#pragma once
// Mouse button rows and macro files for the worker tests, made the way the program makes them.
#include "mouse/LineKeyRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class QLStyleMouseTabWidget;
class TestProgramDir;

// The mouse page (owned by the caller) with one column of button rows, as the key-definition
// page builds it, and the button chosen last.
QLStyleMouseTabWidget *ShowKeyRows(const QString &column, const QVector<LineKeyRecord> &records, uchar selectedKey = 0);

// A column "L" on the open mouse page with one row: button 3 running the macro of that name.
void AddMacroColumn(QLStyleMouseTabWidget *page, const QString &macro);

// The macro file of a product holding these records, written by the macro store.
bool WriteMacroFile(const TestProgramDir &dir, const QString &product, const QString &name, const QByteArray &records,
                    int runWay = 1, int runOne = 1);
