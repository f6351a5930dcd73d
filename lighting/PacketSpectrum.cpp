#include "lighting/PacketSpectrum.h"

#include <cmath>
#include <utility>

namespace {
using Complex = std::complex<double>;

// Written out: the library's operator* takes a slow path to handle infinities we never have.
inline Complex Mul(const Complex &a, const Complex &b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// The angles reach about 1500 radians at 1024 frames: the tables are made in extended precision
// so that rounding the angle costs nothing the comparison with the direct sum could see.
Complex Unit(long double angle)
{
    return {double(std::cos(angle)), double(std::sin(angle))};
}
} // namespace

void PacketSpectrum::Prepare(int n)
{
    m_n = n;
    m_size = 1;
    while (m_size < 2 * n - 1)
        m_size <<= 1;
    const long double step = static_cast<long double>(kTurn) / (2.0L * n);
    m_chirp.resize(size_t(n));
    for (int m = 0; m < n; ++m)
        m_chirp[size_t(m)] = Unit(step * (static_cast<long double>(m) * m));

    const long double pi = 3.141592653589793238462643383279502884L;
    m_twiddle.resize(size_t(m_size / 2 > 0 ? m_size / 2 : 1));
    for (int t = 0; t < m_size / 2; ++t)
        m_twiddle[size_t(t)] = Unit(-2.0L * pi * t / m_size);
    m_reverse.resize(size_t(m_size));
    int bits = 0;
    while ((1 << bits) < m_size)
        ++bits;
    for (int i = 0; i < m_size; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        m_reverse[size_t(i)] = r;
    }

    // The convolution kernel e^(-i c m^2 / 2n) for m = -(n-1) .. n-1, wrapped around the cycle,
    // transformed once; the 1 / size of the inverse transform is folded in.
    m_kernel.assign(size_t(m_size), Complex());
    for (int m = 0; m < n; ++m) {
        const Complex b = std::conj(m_chirp[size_t(m)]);
        m_kernel[size_t(m)] = b;
        if (m > 0)
            m_kernel[size_t(m_size - m)] = b;
    }
    Transform(m_kernel.data(), false);
    for (Complex &v : m_kernel)
        v /= double(m_size);
    m_work.assign(size_t(m_size), Complex());
}

void PacketSpectrum::Transform(Complex *data, bool inverse) const
{
    for (int i = 0; i < m_size; ++i) {
        const int r = m_reverse[size_t(i)];
        if (r > i)
            std::swap(data[i], data[r]);
    }
    for (int len = 2; len <= m_size; len <<= 1) {
        const int half = len / 2;
        const int stride = m_size / len;
        for (int start = 0; start < m_size; start += len) {
            for (int j = 0; j < half; ++j) {
                const Complex t = m_twiddle[size_t(j * stride)];
                const Complex w = inverse ? std::conj(t) : t;
                const Complex u = data[start + j];
                const Complex v = Mul(data[start + j + half], w);
                data[start + j] = u + v;
                data[start + j + half] = u - v;
            }
        }
    }
}

void PacketSpectrum::Magnitudes(const double *x, int n, double *out)
{
    if (n <= 0)
        return;
    if (n != m_n)
        Prepare(n);
    Complex *work = m_work.data();
    for (int j = 0; j < n; ++j)
        work[j] = m_chirp[size_t(j)] * x[j];
    for (int j = n; j < m_size; ++j)
        work[j] = Complex();
    Transform(work, false);
    for (int t = 0; t < m_size; ++t)
        work[t] = Mul(work[t], m_kernel[size_t(t)]);
    Transform(work, true);
    for (int k = 0; k < n; ++k)
        out[k] = std::sqrt(work[k].real() * work[k].real() + work[k].imag() * work[k].imag());
}
