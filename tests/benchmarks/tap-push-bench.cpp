// Time of SampleTap::push for 1024-frame stereo blocks (what OBS's mixer hands
// the master callback) while a reader drains at the panel's 30 Hz, and the
// number of heap allocations the pushing thread makes once warmed up.
#include "audio/sample-tap.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <thread>
#include <vector>

namespace {

thread_local bool countAllocations = false;
std::atomic<long> allocations{0};

constexpr uint32_t kFrames = 1024;
constexpr int kWarmupPushes = 2000;
constexpr int kPushes = 20000;
// Faster than the real mixer (one block per 21 ms) to collect many samples,
// yet slow enough that 33 ms of blocks stay under the tap's two seconds.
constexpr auto kPushInterval = std::chrono::microseconds(400);
constexpr auto kDrainInterval = std::chrono::milliseconds(33);

} // namespace

void *operator new(size_t size)
{
	if (countAllocations)
		allocations++;
	if (void *p = std::malloc(size ? size : 1))
		return p;
	throw std::bad_alloc();
}

void operator delete(void *p) noexcept
{
	std::free(p);
}

void operator delete(void *p, size_t) noexcept
{
	std::free(p);
}

int main()
{
	using Clock = std::chrono::steady_clock;
	SampleTap tap;
	std::atomic<bool> done{false};
	std::thread reader([&] {
		std::vector<float> left, right;
		bool stereo = false;
		while (!done) {
			std::this_thread::sleep_for(kDrainInterval);
			tap.drain(left, right, stereo);
		}
	});

	std::vector<float> l(kFrames, 0.5f), r(kFrames, -0.5f);
	const float *planes[] = {l.data(), r.data()};
	std::vector<double> micros;
	micros.reserve(kPushes);
	for (int i = 0; i < kWarmupPushes + kPushes; i++) {
		const bool measured = i >= kWarmupPushes;
		countAllocations = measured;
		const auto start = Clock::now();
		tap.push(planes, 2, kFrames, 1.0f);
		const auto end = Clock::now();
		countAllocations = false;
		if (measured)
			micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
		std::this_thread::sleep_for(kPushInterval);
	}
	done = true;
	reader.join();

	std::sort(micros.begin(), micros.end());
	auto pct = [&](double p) {
		return micros[size_t(p * double(micros.size() - 1))];
	};
	printf("SampleTap::push, %u-frame stereo blocks, %d pushes, reader draining every %lld ms\n", kFrames, kPushes,
	       (long long)kDrainInterval.count());
	printf("  median %.2f us   p99 %.2f us   p99.9 %.2f us   max %.2f us\n", pct(0.5), pct(0.99), pct(0.999),
	       micros.back());
	printf("  heap allocations on the pushing thread after warm-up: %ld\n", allocations.load());
	return 0;
}
