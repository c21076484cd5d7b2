// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "cli/stopping.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <iterator>

namespace divograf::cli {

namespace {

constexpr int Caught[] = {SIGINT, SIGTERM, SIGHUP};

// Set by the handler, which may run on any thread: a lock-free atomic is safe there.
std::atomic<int> signalReceived{0};
static_assert(std::atomic<int>::is_always_lock_free);

struct sigaction previous[std::size(Caught)];

extern "C" void noteSignal(int signal)
{
    int none = 0;
    signalReceived.compare_exchange_strong(none, signal);
}

} // namespace

StopSignals::StopSignals()
{
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(Caught); ++i) {
        // A signal the program was started to ignore (nohup, a background job) stays ignored.
        sigaction(Caught[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN)
            sigaction(Caught[i], &action, nullptr);
    }
}

StopSignals::~StopSignals()
{
    for (std::size_t i = 0; i < std::size(Caught); ++i)
        sigaction(Caught[i], &previous[i], nullptr);
}

int StopSignals::received() { return signalReceived.load(); }

void StopSignals::endBySignal()
{
    const int signal = received();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::abort(); // not reached: the default action of the three signals ends the program
}

} // namespace divograf::cli
