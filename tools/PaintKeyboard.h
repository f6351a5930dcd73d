#pragma once
#include <QString>

// The on-screen keyboard's picture, drawn from the keys of the product's layout file, and the
// icons of its hidden media keys; returns the number of failures.
int PaintKeyboardImages(const QString &root);
