#include "fft.hpp"

#include <cmath>
#include <numbers>

namespace {

// One block of a pass: the halves never overlap each other or the twiddles.
void butterflies(float *__restrict ur, float *__restrict ui, float *__restrict vr, float *__restrict vi,
		 const float *__restrict wr, const float *__restrict wi, int half)
{
	for (int t = 0; t < half; t++) {
		const float xr = vr[t] * wr[t] - vi[t] * wi[t];
		const float xi = vr[t] * wi[t] + vi[t] * wr[t];
		const float ar = ur[t], ai = ui[t];
		ur[t] = ar + xr;
		ui[t] = ai + xi;
		vr[t] = ar - xr;
		vi[t] = ai - xi;
	}
}

} // namespace

Fft::Fft(int size) : n(size)
{
	for (int i = 1, j = 0; i < n; i++) {
		int bit = n >> 1;
		for (; j & bit; bit >>= 1)
			j &= ~bit;
		j |= bit;
		if (i < j)
			swaps.emplace_back(i, j);
	}
	twiddleRe.reserve(size_t(n));
	twiddleIm.reserve(size_t(n));
	for (int len = 4; len <= n; len <<= 1) {
		const double angle = -2.0 * std::numbers::pi / len;
		const float c = float(std::cos(angle)), s = float(std::sin(angle));
		float wr = 1.0f, wi = 0.0f;
		for (int t = 0; t < len / 2; t++) {
			twiddleRe.push_back(wr);
			twiddleIm.push_back(wi);
			const float next = wr * c - wi * s;
			wi = wr * s + wi * c;
			wr = next;
		}
	}
}

void Fft::transform(float *re, float *im) const
{
	for (const auto &[i, j] : swaps) {
		std::swap(re[i], re[j]);
		std::swap(im[i], im[j]);
	}
	firstPass(re, im);
	const float *wRe = twiddleRe.data(), *wIm = twiddleIm.data();
	for (int len = 4; len <= n; len <<= 1) {
		const int half = len / 2;
		for (int b = 0; b < n; b += len)
			butterflies(re + b, im + b, re + b + half, im + b + half, wRe, wIm, half);
		wRe += half;
		wIm += half;
	}
}

// Pairs with the twiddle (1, 0): multiplying by it changes no magnitude (at
// most the sign of a zero), so the pass is plain sums and differences.
void Fft::firstPass(float *re, float *im) const
{
	for (int b = 0; b < n; b += 2) {
		const float ar = re[b], ai = im[b], xr = re[b + 1], xi = im[b + 1];
		re[b] = ar + xr;
		im[b] = ai + xi;
		re[b + 1] = ar - xr;
		im[b + 1] = ai - xi;
	}
}
