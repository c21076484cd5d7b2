// SPDX-FileCopyrightText: Divograf developers
//
// SPDX-License-Identifier: MIT

#include "core/surface/workers.h"

#include <QThread>

namespace divograf {

int processorCount() { return std::max(QThread::idealThreadCount(), 1); }

Workers::Workers(int threads)
{
    for (int worker = 1; worker < threads; ++worker)
        helpers_.emplace_back([this, worker] { serve(worker); });
}

Workers::~Workers()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (std::thread &t : helpers_)
        t.join();
}

void Workers::forEach(int count, int chunk, const Task &task)
{
    {
        const std::lock_guard lock(mutex_);
        task_ = &task;
        count_ = count;
        chunk_ = std::max(chunk, 1);
        next_.store(0, std::memory_order_relaxed);
        busy_ = static_cast<int>(helpers_.size());
        ++generation_;
    }
    wake_.notify_all();
    take(0);
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
    task_ = nullptr;
}

void Workers::take(int worker)
{
    for (;;) {
        const int begin = next_.fetch_add(chunk_, std::memory_order_relaxed);
        if (begin >= count_)
            return;
        (*task_)(begin, std::min(begin + chunk_, count_), worker);
    }
}

void Workers::serve(int worker)
{
    unsigned seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
            if (quit_)
                return;
            seen = generation_;
        }
        take(worker);
        {
            const std::lock_guard lock(mutex_);
            if (--busy_ == 0)
                done_.notify_one();
        }
    }
}

} // namespace divograf
