#pragma once

#include <utility>
#include <vector>

// In-place forward FFT (iterative radix-2, decimation in time) of one
// power-of-two length. The twiddles of each pass are generated once by the
// same float recurrence a straightforward loop would run in every block, so
// the levels come out bit for bit as that loop gives them, in about half the
// time.
class Fft {
public:
	explicit Fft(int n);

	int size() const { return n; }
	// X[k] = sum x[i] e^(-2 pi i ik/n), unnormalised; re and im hold n floats.
	void transform(float *re, float *im) const;

private:
	void firstPass(float *re, float *im) const;

	int n;
	std::vector<std::pair<int, int>> swaps; // the bit-reversal permutation
	// Pass by pass, len/2 twiddles for len = 4 ... n; split so that the
	// butterflies vectorise.
	std::vector<float> twiddleRe;
	std::vector<float> twiddleIm;
};
