#pragma once
#include <QString>

// The keyboard page's left column (key assignment, lighting, function settings, system settings)
// in its normal, hover and checked states, and its way back; returns the number of failures.
int PaintKeyboardPageImages(const QString &root);
