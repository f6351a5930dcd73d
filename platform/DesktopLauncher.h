#pragma once
#include <QString>

class QUrl;

// Opens an address in the user's web browser; false when no handler took it.
bool OpenInBrowser(const QUrl &url);

// Starts a program as a process of its own that outlives this one; false when it could not
// be started (missing, not executable, not a program).
bool StartDetachedProgram(const QString &programPath);
