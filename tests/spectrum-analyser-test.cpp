#include "support/reference-analysis.hpp"
#include "monitor/fft.hpp"
#include "monitor/spectrum-analyser.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <complex>
#include <cstring>
#include <random>

namespace {

constexpr int N = SpectrumAnalyser::kSize;
constexpr double kBinHz = 48000.0 / N; // 5.859375 Hz

std::vector<float> randomSignal(int n, unsigned seed)
{
	std::mt19937 rng(seed);
	std::uniform_real_distribution<float> d(-1.0f, 1.0f);
	std::vector<float> v = std::vector<float>(size_t(n));
	for (float &s : v)
		s = d(rng);
	return v;
}

std::vector<float> sine(double hz, float amplitude, int n = N)
{
	std::vector<float> v = std::vector<float>(size_t(n));
	for (int i = 0; i < n; i++)
		v[size_t(i)] = amplitude * float(std::sin(2.0 * std::numbers::pi * hz * i / 48000.0));
	return v;
}

int binOf(double hz)
{
	return int(std::lround(hz / kBinHz));
}

} // namespace

// Single-precision radix-2 error grows like log2(n) ulps of the largest
// values: relative to the spectrum's peak, 1e-5 leaves room above the ~1e-6
// expected for 13 passes while catching any wrong twiddle or index.
TEST(Fft, AgreesWithADoublePrecisionDftOnRandomInput)
{
	const int n = 1024; // the same code at a size a direct DFT can afford
	Fft fft(n);
	std::vector<float> re = randomSignal(n, 1), im = randomSignal(n, 2);
	std::vector<std::complex<double>> x = std::vector<std::complex<double>>(size_t(n));
	for (int i = 0; i < n; i++)
		x[size_t(i)] = {re[size_t(i)], im[size_t(i)]};
	fft.transform(re.data(), im.data());

	double peak = 0.0, worst = 0.0;
	for (int k = 0; k < n; k++) {
		std::complex<double> sum = 0.0;
		for (int i = 0; i < n; i++)
			sum += x[size_t(i)] * std::polar(1.0, -2.0 * std::numbers::pi * double(i) * k / n);
		peak = std::max(peak, std::abs(sum));
		worst = std::max(worst, std::abs(sum - std::complex<double>(re[size_t(k)], im[size_t(k)])));
	}
	EXPECT_LT(worst / peak, 1e-5);
}

TEST(Fft, KnownTransforms)
{
	Fft fft(N);
	std::vector<float> re(N, 0.0f), im(N, 0.0f);
	re[0] = 1.0f; // an impulse: flat
	fft.transform(re.data(), im.data());
	for (int k : {0, 1, 1000, N / 2, N - 1}) {
		EXPECT_FLOAT_EQ(re[size_t(k)], 1.0f);
		EXPECT_NEAR(im[size_t(k)], 0.0f, 1e-6f);
	}

	std::fill(re.begin(), re.end(), 0.5f); // DC: everything in bin 0
	std::fill(im.begin(), im.end(), 0.0f);
	fft.transform(re.data(), im.data());
	EXPECT_NEAR(re[0], 0.5f * N, 1e-2f);
	for (int k : {1, 7, N / 2, N - 1})
		EXPECT_NEAR(std::hypot(re[size_t(k)], im[size_t(k)]), 0.0f, 1e-2f);

	// A cosine of exactly 64 cycles: N/2 in bins 64 and N-64, nothing else.
	for (int i = 0; i < N; i++) {
		re[size_t(i)] = float(std::cos(2.0 * std::numbers::pi * 64.0 * i / N));
		im[size_t(i)] = 0.0f;
	}
	fft.transform(re.data(), im.data());
	EXPECT_NEAR(re[64], N / 2.0f, N * 1e-4f);
	EXPECT_NEAR(re[N - 64], N / 2.0f, N * 1e-4f);
	EXPECT_NEAR(std::hypot(re[65], im[65]), 0.0f, 0.05f);
	EXPECT_NEAR(std::hypot(re[1000], im[1000]), 0.0f, 0.05f);
}

TEST(SpectrumAnalyser, LevelsAreBitIdenticalToTheLiteralAlgorithm)
{
	SpectrumAnalyser ours;
	ReferenceAnalysis literal;
	const std::vector<float> noise = randomSignal(N, 3), tone = sine(1234.5, 0.8f);
	std::vector<float> ring(N);
	// Rising, falling and wrapped windows, and a stalled tick.
	const double dts[] = {0.033, 0.02, 0.0, 0.5, 0.033};
	for (int step = 0; step < 5; step++) {
		for (int i = 0; i < N; i++)
			ring[size_t(i)] = step % 2 ? tone[size_t(i)] : noise[size_t(i)] * (1.0f / float(step + 1));
		const int pos = (step * 1777) % N;
		ours.analyse(ring, pos, 48000, dts[step]);
		literal.analyse(ring, pos, 48000, dts[step]);
		ASSERT_EQ(std::memcmp(ours.levels().data(), literal.spectrumDb.data(), sizeof(float) * (N / 2)), 0)
			<< "step " << step;
		EXPECT_EQ(ours.dominantHz, literal.dominantHz);
		EXPECT_EQ(ours.dominantDb, literal.dominantDb);
	}
	// Quiet noise puts bins on either side of the floor at -90 dB, where ours
	// skips the logarithm; a NaN spreads to every bin.
	int onFloor = 0, above = 0;
	for (float scale : {1e-2f, 3e-3f, 2e-3f, 1e-3f, 3e-4f, std::nanf("")}) {
		for (int i = 0; i < N; i++)
			ring[size_t(i)] = noise[size_t(i)] * scale;
		ours.analyse(ring, 5, 48000, 10.0);
		literal.analyse(ring, 5, 48000, 10.0);
		ASSERT_EQ(std::memcmp(ours.levels().data(), literal.spectrumDb.data(), sizeof(float) * (N / 2)), 0)
			<< "scale " << scale;
		EXPECT_EQ(ours.dominantHz, literal.dominantHz);
		EXPECT_EQ(ours.dominantDb, literal.dominantDb);
		for (int k = 1; k < N / 2; k++)
			(literal.spectrumDb[size_t(k)] == -90.0f ? onFloor : above)++;
	}
	EXPECT_GT(onFloor, 1000);
	EXPECT_GT(above, 1000);
}

TEST(SpectrumAnalyser, AFullScaleBinCentredSineReadsZeroDbAtItsFrequency)
{
	SpectrumAnalyser analyser;
	const double hz = 171 * kBinHz; // 1001.95 Hz, centred on bin 171
	analyser.analyse(sine(hz, 1.0f), 0, 48000, 0.033);
	EXPECT_NEAR(analyser.levels()[171], 0.0f, 0.1f);
	EXPECT_FLOAT_EQ(analyser.dominantHz, float(hz));
	EXPECT_NEAR(analyser.dominantDb, 0.0f, 0.1f);
	EXPECT_LT(analyser.levels()[171 + 10], -60.0f);

	SpectrumAnalyser khz; // 1 kHz itself sits between bins: the nearest wins
	khz.analyse(sine(1000.0, 1.0f), 0, 48000, 0.033);
	EXPECT_EQ(std::lround(khz.dominantHz / kBinHz), binOf(1000.0));
	EXPECT_GT(khz.dominantDb, -3.0f);
}

TEST(SpectrumAnalyser, SilenceSitsOnTheFloorAndNamesTheLowestBinInRange)
{
	SpectrumAnalyser analyser;
	analyser.analyse(std::vector<float>(N, 0.0f), 0, 48000, 0.033);
	for (float db : analyser.levels())
		ASSERT_EQ(db, -90.0f);
	EXPECT_FLOAT_EQ(analyser.dominantHz, 23.4375f); // bin 4: the first at or above 20 Hz
	EXPECT_EQ(analyser.dominantDb, -90.0f);
}

// A ring of exact zeros transforms to zeros: skipping the transform gives the
// same levels, falling from whatever they were, and says when nothing moved.
TEST(SpectrumAnalyser, ASilentRingNeedsNoTransformForTheSameLevels)
{
	SpectrumAnalyser transformed, skipped;
	const std::vector<float> tone = sine(1234.5, 0.8f), silence(N, 0.0f);
	EXPECT_TRUE(transformed.analyse(tone, 0, 48000, 0.033));
	skipped.analyse(tone, 0, 48000, 0.033);
	for (double dt : {0.033, 0.5, 1.0, 1.0}) {
		EXPECT_TRUE(transformed.analyse(silence, 7, 48000, dt, false));
		EXPECT_TRUE(skipped.analyse(silence, 7, 48000, dt, true));
		ASSERT_EQ(std::memcmp(transformed.levels().data(), skipped.levels().data(), sizeof(float) * (N / 2)),
			  0);
		EXPECT_EQ(transformed.dominantHz, skipped.dominantHz);
		EXPECT_EQ(transformed.dominantDb, skipped.dominantDb);
	}
	for (float db : skipped.levels())
		ASSERT_EQ(db, -90.0f);
	EXPECT_FALSE(skipped.analyse(silence, 7, 48000, 0.033, true)) << "on the floor already";
	EXPECT_FALSE(transformed.analyse(silence, 7, 48000, 0.033, false));
}

TEST(SpectrumAnalyser, LevelsFallFiftyFiveDbPerSecondAndNotAfterAStall)
{
	SpectrumAnalyser analyser;
	const int bin = 341;
	analyser.analyse(sine(bin * kBinHz, 1.0f), 0, 48000, 0.033);
	const float before = analyser.levels()[bin];
	const std::vector<float> quieter = sine(bin * kBinHz, 1.0f / 31.62f); // 30 dB down
	analyser.analyse(quieter, 0, 48000, 0.02);
	EXPECT_NEAR(analyser.levels()[bin], before - 1.1f, 1e-4f);
	analyser.analyse(quieter, 0, 48000, 0.0); // the tick after a stall passes 0
	EXPECT_NEAR(analyser.levels()[bin], before - 1.1f, 1e-4f);
	for (int i = 0; i < 40; i++)
		analyser.analyse(quieter, 0, 48000, 0.02);
	EXPECT_NEAR(analyser.levels()[bin], before - 30.0f, 0.1f) << "down to the new level, which then holds";

	// A tone far beyond full scale overflows the transform's squares: its
	// level and the read-out stay finite, and fall like any other.
	SpectrumAnalyser huge;
	huge.analyse(sine(bin * kBinHz, 1e30f), 0, 48000, 0.033);
	const float top = huge.levels()[bin];
	ASSERT_TRUE(std::isfinite(top) && std::isfinite(huge.dominantDb)) << top;
	EXPECT_GT(top, 600.0f);
	huge.analyse(std::vector<float>(N, 0.0f), 0, 48000, 1.0, true);
	EXPECT_NEAR(huge.levels()[bin], top - 55.0f, 1e-3f);
}

TEST(SpectrumAnalyser, TheHighestCandidateIsTheLastBinAtOrBelowTwentyKilohertz)
{
	// At 48 kHz bin 3413 is 19998.05 Hz and bin 3414 is 20003.9 Hz: a tone on
	// 3414 is strongest there, but only its spill into 3413 may be named.
	SpectrumAnalyser analyser;
	analyser.analyse(sine(3414 * kBinHz, 1.0f), 0, 48000, 0.033);
	EXPECT_GT(analyser.levels()[3414], analyser.levels()[3413] + 3.0f);
	EXPECT_FLOAT_EQ(analyser.dominantHz, float(3413 * kBinHz));
}

TEST(SpectrumAnalyser, ResetReturnsToTheFloor)
{
	SpectrumAnalyser analyser;
	analyser.analyse(sine(1000.0, 1.0f), 0, 48000, 0.033);
	analyser.reset();
	EXPECT_EQ(analyser.levels()[171], -90.0f);
	EXPECT_EQ(analyser.dominantHz, 0.0f);
	EXPECT_EQ(analyser.dominantDb, -120.0f);
}
