// OBS audio threads and the UI thread meet only in the taps, the closing flag
// and the bound source. Hammer that hand-off from every side at once, then tear
// the panel down while audio keeps arriving. Meant for ThreadSanitizer and
// AddressSanitizer: a race or a write into a destroyed tap is a report.
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"

#include <gtest/gtest.h>

#include <util/platform.h>

#include <QElapsedTimer>

#include <memory>
#include <thread>

namespace {

constexpr uint32_t kFrames = 480;
constexpr int kRunMs = 1500;

// Outputs a source's audio through libobs, as a capture device would, so that
// its capture callback runs on this thread.
class Feeder {
public:
	explicit Feeder(obs_source_t *source)
		: thread([this, source] {
			  uint64_t ts = os_gettime_ns();
			  while (!stop) {
				  testenv::feedTone(source, kFrames, 0.5f, ts);
				  ts += 10000000ull;
				  std::this_thread::sleep_for(std::chrono::milliseconds(4));
			  }
		  })
	{
	}
	~Feeder()
	{
		stop = true;
		thread.join();
	}

private:
	std::atomic<bool> stop{false};
	std::thread thread;
};

// Calls the master callback directly, like extra mix threads would.
class DirectPusher {
public:
	explicit DirectPusher(Tovrin *panel)
		: thread([this, panel] {
			  std::vector<float> samples(1024, 0.25f);
			  audio_data block = {};
			  block.data[0] = block.data[1] = reinterpret_cast<uint8_t *>(samples.data());
			  block.frames = 1024;
			  while (!stop) {
				  onMasterAudio(panel, 0, &block);
				  pushes++;
				  std::this_thread::sleep_for(std::chrono::microseconds(500));
			  }
		  })
	{
	}
	void join()
	{
		stop = true;
		if (thread.joinable())
			thread.join();
	}
	~DirectPusher() { join(); }
	std::atomic<int> pushes{0};

private:
	std::atomic<bool> stop{false};
	std::thread thread;
};

} // namespace

TEST(AudioHandoffStress, TapsSurviveConcurrentPushesRebindsAndTeardown)
{
	obs_source_t *a = testenv::createToneSource("A");
	obs_source_t *b = testenv::createToneSource("B");
	obs_set_output_source(0, a);
	obs_set_output_source(1, b);

	auto panel = std::make_unique<Tovrin>();
	panel->bindSource(a);
	{
		Feeder feedA(a), feedB(b);
		DirectPusher push1(panel.get()), push2(panel.get());

		size_t inputSamples = 0, masterSamples = 0;
		QElapsedTimer clock;
		clock.start();
		int rebinds = 0;
		while (clock.elapsed() < kRunMs) {
			testenv::processEventsFor(33);
			inputSamples += drainAll(TovrinTestAccess::inputTap(*panel)).left.size();
			masterSamples += drainAll(TovrinTestAccess::masterTap(*panel)).left.size();
			if (clock.elapsed() > (rebinds + 1) * 150)
				panel->bindSource(++rebinds % 2 ? b : a);
		}
		EXPECT_GT(inputSamples, 0u);
		EXPECT_GT(masterSamples, 0u);
		EXPECT_GT(push1.pushes + push2.pushes, 100);

		// Tear down while every writer is still running.
		panel->shutdown();
		push1.join();
		push2.join();
		drainAll(TovrinTestAccess::inputTap(*panel));
		drainAll(TovrinTestAccess::masterTap(*panel));
		testenv::processEventsFor(150);
		EXPECT_TRUE(drainAll(TovrinTestAccess::inputTap(*panel)).left.empty()) << "capture after shutdown";
		EXPECT_TRUE(drainAll(TovrinTestAccess::masterTap(*panel)).left.empty()) << "mix after shutdown";

		// The feeders and the mixer go on after the taps are gone.
		panel.reset();
		testenv::processEventsFor(150);
	}

	obs_set_output_source(0, nullptr);
	obs_set_output_source(1, nullptr);
	obs_source_release(a);
	obs_source_release(b);
}
