#pragma once
// The packet spectrum evaluated term by term, as the audio capture once did: the reference that
// its transform is compared and timed against.
#include <QVector>

// Magnitudes of sum over j of x[j] e^(i j k 6.2831924 / n), k = 0 .. n-1, for the mono samples of
// n stereo 16-bit frames (left + right) / 2 / 32768. No silence test, no threshold.
QVector<double> DirectSpectrum(const uchar *packet, int frames);
