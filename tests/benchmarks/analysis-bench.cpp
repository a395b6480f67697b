// One spectrum analysis step (window, 8192-point transform, levels): the
// module's analyser against the literal algorithm it must match bit for bit.
#include "support/reference-analysis.hpp"
#include "monitor/spectrum-analyser.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>

int main()
{
	constexpr int kRuns = 50;
	constexpr int kRounds = 12; // interleaved; the best round of each counts
	std::mt19937 rng(7);
	std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
	std::vector<float> ring(SpectrumAnalyser::kSize);
	for (float &s : ring)
		s = sample(rng);

	SpectrumAnalyser ours;
	ReferenceAnalysis literal;
	using Clock = std::chrono::steady_clock;
	auto time = [&](auto step) {
		const auto start = Clock::now();
		for (int i = 0; i < kRuns; i++)
			step(i);
		return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kRuns;
	};
	double literalUs = 1e9, oursUs = 1e9;
	for (int round = 0; round < kRounds; round++) {
		literalUs = std::min(literalUs, time([&](int i) { literal.analyse(ring, i % 8192, 48000, 0.033); }));
		oursUs = std::min(oursUs, time([&](int i) { ours.analyse(ring, i % 8192, 48000, 0.033); }));
	}
	const bool identical = std::memcmp(ours.levels().data(), literal.spectrumDb.data(),
					   sizeof(float) * literal.spectrumDb.size()) == 0;
	printf("spectrum analysis step (best of %d rounds): literal %.1f us, ours %.1f us (%.2fx), levels %s\n",
	       kRounds, literalUs, oursUs, literalUs / oursUs, identical ? "bit-identical" : "DIFFER");
	return identical ? 0 : 1;
}
