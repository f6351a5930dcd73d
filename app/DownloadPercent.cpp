#include "app/DownloadPercent.h"

int DownloadPercent(qint64 bytesRead, qint64 totalBytes)
{
    if (totalBytes < 1)
        return -1;
    if (bytesRead <= 0)
        return 0;
    if (bytesRead >= totalBytes)
        return 100;
    // In floating point: read * 100 could overflow 64 bits for very large totals.
    return int(double(bytesRead) * 100.0 / double(totalBytes));
}
