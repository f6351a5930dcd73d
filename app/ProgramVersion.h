#pragma once
#include <QString>

// True when the catalogue's program version is newer than the installed one, compared part by
// part (1.1.0.0 is newer than 1.0.57.0). A catalogue text that is not a dotted number offers
// nothing; an installed text that is not one counts as no version at all.
bool IsNewerProgramVersion(const QString &catalogue, const QString &installed);

// True when the text is a dotted decimal version with nothing after it.
bool IsProgramVersionText(const QString &text);
