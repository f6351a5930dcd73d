#pragma once
#include <QString>

// Appends one line to "Log.txt" in the program folder; safe from any thread.
void WriteLogLine(const QString &text);

// The time stamp that follows every log line: "   yyyy MM dd hh:mm:ss:zzz".
QString LogTimeStamp();
