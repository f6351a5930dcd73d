#pragma once
#include <QString>

// The cap of a key-cap code "@1".."@20" (two symbols on two lines, or one symbol); "NULL" for
// any other text.
QString KeyCapText(const QString &code);
