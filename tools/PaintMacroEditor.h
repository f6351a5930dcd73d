#pragma once
#include <QString>

// The macro editor's and the new macro dialog's pictures (record, run modes, name, standard
// delay box) and the mouse button heads of the macro event rows; returns the number of failures.
int PaintMacroEditorImages(const QString &root);
