#pragma once
#include <QtGlobal>

// The share of a download received, 0 to 100; -1 when the total is unknown (below 1),
// which leaves a progress display as it was.
int DownloadPercent(qint64 bytesRead, qint64 totalBytes);
