#pragma once

#include <cmath>
#include <numbers>
#include <utility>

// The transform exactly as first written down: bit reversal, then for each
// pass a twiddle advanced by float multiplication inside every block. The
// module's table-driven transform must match it bit for bit.
inline void referenceFft(float *re, float *im, int n)
{
	for (int i = 1, j = 0; i < n; i++) {
		int bit = n >> 1;
		for (; j & bit; bit >>= 1)
			j &= ~bit;
		j |= bit;
		if (i < j) {
			std::swap(re[i], re[j]);
			std::swap(im[i], im[j]);
		}
	}
	for (int len = 2; len <= n; len <<= 1) {
		const double angle = -2.0 * std::numbers::pi / len;
		const float c = float(std::cos(angle)), s = float(std::sin(angle));
		for (int b = 0; b < n; b += len) {
			float wr = 1.0f, wi = 0.0f;
			for (int t = 0; t < len / 2; t++) {
				const int p = b + t, q = b + t + len / 2;
				const float vr = re[q] * wr - im[q] * wi;
				const float vi = re[q] * wi + im[q] * wr;
				const float ur = re[p], ui = im[p];
				re[p] = ur + vr;
				im[p] = ui + vi;
				re[q] = ur - vr;
				im[q] = ui - vi;
				const float next = wr * c - wi * s;
				wi = wr * s + wi * c;
				wr = next;
			}
		}
	}
}
