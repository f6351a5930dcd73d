#pragma once
#include <QString>

namespace platform {

// Why this user may not open an interface path that exists (for hidraw: no read and write
// permission on the node); empty when it may be opened, or when the path is gone.
QString HidAccessProblem(const QString &path);

// Writes one clear log line for an interface that cannot be opened, the first time a path and
// reason are seen; true when it wrote the line.
bool LogHidAccessProblemOnce(const QString &path, const QString &ids, const QString &reason);

} // namespace platform
