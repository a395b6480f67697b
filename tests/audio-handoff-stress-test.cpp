// OBS audio threads and the UI thread meet only in the taps, the closing flag
// and the bound source. Hammer that hand-off from every side at once, then tear
// the panel down while audio keeps arriving. Meant for ThreadSanitizer and
// AddressSanitizer: a race or a write into a destroyed tap is a report.
#include "support/obs-test-env.hpp"
#include "support/tovrin-test-access.hpp"
#include "view/waveform-view.hpp"

#include <gtest/gtest.h>

#include <util/platform.h>

#include <QElapsedTimer>

#include <QComboBox>

#include <memory>
#include <random>
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

// Calls the master callback directly, like extra mix threads would; with a
// seed, in blocks of random length, mono or stereo, at random intervals.
class DirectPusher {
public:
	explicit DirectPusher(Tovrin *panel, unsigned seed = 0)
		: DirectPusher(&TovrinTestAccess::masterFeed(*panel), seed)
	{
	}
	DirectPusher(MasterFeed *feed, unsigned seed)
		: thread([this, feed, seed] {
			  std::mt19937 random(seed);
			  std::vector<float> samples(2048, 0.25f);
			  audio_data block = {};
			  block.data[0] = reinterpret_cast<uint8_t *>(samples.data());
			  block.frames = 1024;
			  while (!stop) {
				  if (seed) {
					  block.frames = 1 + random() % 2048;
					  block.data[1] = random() % 2 ? block.data[0] : nullptr;
				  } else {
					  block.data[1] = block.data[0];
				  }
				  onMasterAudio(feed, 0, &block);
				  pushes++;
				  std::this_thread::sleep_for(std::chrono::microseconds(seed ? random() % 1000 : 500));
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

// Shuts the panel down while both pushers (and any feeders) still run; after
// that, nothing more may reach either tap.
void shutDownUnderLoad(Tovrin &panel, DirectPusher &push1, DirectPusher &push2, int settleMs)
{
	panel.shutdown();
	push1.join();
	push2.join();
	drainAll(TovrinTestAccess::inputTap(panel));
	drainAll(TovrinTestAccess::masterTap(panel));
	testenv::processEventsFor(settleMs);
	EXPECT_TRUE(drainAll(TovrinTestAccess::inputTap(panel)).left.empty()) << "capture after shutdown";
	EXPECT_TRUE(drainAll(TovrinTestAccess::masterTap(panel)).left.empty()) << "mix after shutdown";
}

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
		shutDownUnderLoad(*panel, push1, push2, 150);

		// The feeders and the mixer go on after the taps are gone.
		panel.reset();
		testenv::processEventsFor(150);
	}

	obs_set_output_source(0, nullptr);
	obs_set_output_source(1, nullptr);
	obs_source_release(a);
	obs_source_release(b);
}

// Many rounds of random churn on the UI thread (binding, unbinding, renaming
// and removing real sources, switching modes, resizing the views, refreshing)
// while capture callbacks and master pushes arrive from four threads, each
// round ending in a shutdown at a random moment with every writer running.
TEST(AudioHandoffStress, RandomChurnFromEveryThreadEndsInACleanShutdown)
{
	const unsigned seed = std::random_device{}();
	SCOPED_TRACE(testing::Message() << "seed " << seed);
	std::mt19937 random(seed);
	constexpr int kRounds = 6;
	for (int round = 0; round < kRounds; round++) {
		std::vector<obs_source_t *> sources;
		for (const char *name : {"A", "B", "C"})
			sources.push_back(testenv::createToneSource(name));
		obs_set_output_source(0, sources[0]);
		auto panel = std::make_unique<Tovrin>();
		{
			Feeder feedA(sources[0]), feedB(sources[1]), feedC(sources[2]);
			DirectPusher push1(panel.get(), random() | 1), push2(panel.get(), random() | 1);
			QElapsedTimer clock;
			clock.start();
			const int runMs = 100 + int(random() % 300);
			while (clock.elapsed() < runMs) {
				obs_source_t *some = sources[random() % sources.size()];
				switch (random() % 8) {
				case 0:
				case 1:
					panel->bindSource(some);
					break;
				case 2:
					panel->unbindSource();
					break;
				case 3:
					obs_source_set_name(some, QString::number(random()).toUtf8().constData());
					break;
				case 4:
					if (sources.size() < 8)
						sources.push_back(testenv::createToneSource("new"));
					obs_source_remove(some);
					break;
				case 5:
					TovrinTestAccess::modeCombo(*panel)->setCurrentIndex(int(random() % 2));
					break;
				case 6:
					TovrinTestAccess::inputView(*panel)->resize(100 + int(random() % 900),
										    80 + int(random() % 400));
					break;
				default:
					TovrinTestAccess::slowTick(*panel);
					break;
				}
				testenv::processEventsFor(int(random() % 20));
			}
			shutDownUnderLoad(*panel, push1, push2, 40);
			panel.reset();
		}
		obs_set_output_source(0, nullptr);
		for (obs_source_t *s : sources) {
			obs_source_remove(s);
			obs_source_release(s);
		}
	}
}
