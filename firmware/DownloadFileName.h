#pragma once
#include <QString>

class QUrl;

// The file name under which a download of this address is saved: the decoded last path part,
// base name only, every blank replaced by "_". Empty when the address names no usable file
// (nothing, ".", "..", or anything that could leave the target folder).
QString DownloadFileName(const QUrl &url);

// The target folder followed by the file name, with exactly one "/" between them.
QString DownloadFilePath(const QString &folder, const QString &fileName);
