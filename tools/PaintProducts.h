#pragma once
#include <QString>

// Pictures of the sample products (device tiles); returns the number of failures.
int PaintProductImages(const QString &root);
// The two key-definition pictures of each sample mouse.
int PaintMouseProfileImages(const QString &root);
// The key page's panel and lock buttons.
int PaintMouseKeyPageIcons(const QString &root);
