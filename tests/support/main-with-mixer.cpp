#include "obs-test-env.hpp"

int main(int argc, char **argv)
{
	return testenv::runTests(argc, argv, testenv::Mixer::On);
}
