#pragma once
// Magnitudes of the sums X[k] = sum over j of x[j] e^(i c j k / n), k and j in 0 .. n-1, for the
// constant c = 6.2831924 the audio effects were tuned with. As c is not 2 pi the sums are not a
// plain discrete Fourier transform (no periodicity, no mirror symmetry), so they are computed as a
// chirp convolution: j k = (j^2 + k^2 - (k - j)^2) / 2 turns the sum into a convolution with
// e^(-i c m^2 / 2n), done with one forward and one inverse power-of-two FFT. The outer chirp has
// magnitude 1 and drops out of the magnitudes.
#include <complex>
#include <vector>

class PacketSpectrum
{
public:
    static constexpr double kTurn = 6.2831924;

    // Writes |X[k]| for k = 0 .. n-1 into out (n values). The tables for n are made on the first
    // call with that n and kept until n changes.
    void Magnitudes(const double *x, int n, double *out);

private:
    void Prepare(int n);
    void Transform(std::complex<double> *data, bool inverse) const;

    int m_n = 0;
    int m_size = 0; // power of two, at least 2n - 1
    std::vector<std::complex<double>> m_chirp;  // e^(i c m^2 / 2n), m = 0 .. n-1
    std::vector<std::complex<double>> m_kernel; // transform of the conjugate chirp, over m_size
    std::vector<std::complex<double>> m_twiddle;
    std::vector<int> m_reverse;
    std::vector<std::complex<double>> m_work;
};
