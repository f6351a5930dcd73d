#include "tests/support/DirectSpectrum.h"

#include <cmath>
#include <cstdint>

QVector<double> DirectSpectrum(const uchar *packet, int frames)
{
    QVector<double> x(frames), magnitudes(frames);
    for (int i = 0; i < frames; ++i) {
        const int left = int16_t(packet[4 * i] | (packet[4 * i + 1] << 8));
        const int right = int16_t(packet[4 * i + 2] | (packet[4 * i + 3] << 8));
        x[i] = (left + right) * 0.5 * 3.0517578125e-5;
    }
    for (int k = 0; k < frames; ++k) {
        double re = 0.0, im = 0.0;
        const double step = k * 6.2831924 / frames;
        for (int j = 0; j < frames; ++j) {
            re += x[j] * std::cos(j * step);
            im += x[j] * std::sin(j * step);
        }
        magnitudes[k] = std::pow(re * re + im * im, 0.5);
    }
    return magnitudes;
}
