#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

namespace platterly::cataloguing {

// Carries batches of rows from the walking thread to the thread that writes them. It holds
// at most `capacity` batches, so memory stays bounded however large the tree: a fast walk
// waits for the writer instead of piling rows up.
template <typename Batch>
class RowPipe
{
public:
    explicit RowPipe(std::size_t capacity) : m_capacity(capacity) {}

    // Blocks while the pipe is full; returns false once the reader has given up.
    bool push(Batch&& batch)
    {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [&] { return m_batches.size() < m_capacity || m_abandoned; });
        if (m_abandoned)
            return false;
        m_batches.push_back(std::move(batch));
        m_notEmpty.notify_one();
        return true;
    }

    // The batches waiting for the reader now.
    std::size_t queued()
    {
        std::lock_guard lock(m_mutex);
        return m_batches.size();
    }

    // The writer has no more rows to give.
    void close()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notEmpty.notify_all();
    }

    // The reader stops reading: wakes a writer blocked on a full pipe.
    void abandon()
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
        m_batches.clear();
        m_notFull.notify_all();
    }

    // Waits up to `timeout` for a batch. Returns nothing on time-out; an empty optional with
    // `finished` set once the pipe is closed and drained.
    template <typename Duration>
    std::optional<Batch> pop(Duration timeout, bool* finished)
    {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait_for(lock, timeout, [&] { return !m_batches.empty() || m_closed; });
        *finished = m_batches.empty() && m_closed;
        if (m_batches.empty())
            return std::nullopt;
        Batch batch = std::move(m_batches.front());
        m_batches.pop_front();
        m_notFull.notify_one();
        return batch;
    }

private:
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<Batch> m_batches;
    bool m_closed = false;
    bool m_abandoned = false;
};

} // namespace platterly::cataloguing
