#pragma once
#include <QString>

// Runs a command and returns its standard output (local 8-bit code page) without the command's
// last word (any case), without line breaks and with white space simplified. A command that
// has not finished within timeoutMs is killed; its output so far is used.
QString RunProcessOutput(const QString &command, int timeoutMs = 5000);
