#include "merge/DeflateStream.h"

#include <algorithm>
#include <stdexcept>

#include <zlib.h>

namespace cardmill {

namespace {

// How many blocks may wait for the thread: enough to ride out a slow write, little enough for memory.
constexpr std::size_t kMaxWaiting = 3;

} // namespace

DeflateStream::DeflateStream(int level, Sink sink, std::size_t blockSize)
    : m_level(level)
    , m_sink(std::move(sink))
    , m_blockSize(std::max<std::size_t>(blockSize, 1))
{
    m_filling.reserve(m_blockSize);
    m_thread = std::thread([this] { run(); });
}

DeflateStream::~DeflateStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void DeflateStream::rethrow()
{
    // Called with the lock held.
    if (m_failure)
        std::rethrow_exception(m_failure);
}

void DeflateStream::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), m_blockSize - m_filling.size());
        m_filling.append(bytes.data(), piece);
        bytes.remove_prefix(piece);
        if (m_filling.size() == m_blockSize)
            hand(false);
    }
}

void DeflateStream::hand(bool last)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_waiting.size() < kMaxWaiting || m_failure || m_done; });
    rethrow();
    if (m_done)
        throw std::logic_error("the deflate stream is finished");
    m_waiting.push_back(std::move(m_filling));
    m_last = last;
    if (m_spare.empty()) {
        m_filling = std::string();
        m_filling.reserve(m_blockSize);
    } else {
        m_filling = std::move(m_spare.back());
        m_spare.pop_back();
        m_filling.clear();
    }
    lock.unlock();
    m_changed.notify_all();
}

DeflateStream::Totals DeflateStream::finish()
{
    hand(true);
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_done; });
    lock.unlock();
    m_thread.join();
    rethrow();
    return m_totals;
}

void DeflateStream::run()
{
    try {
        z_stream z{};
        if (deflateInit2(&z, m_level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("no compressor");
        struct End {
            z_stream& z;
            ~End() { deflateEnd(&z); }
        } end{z};
        for (;;) {
            std::string block;
            bool last = false;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return !m_waiting.empty() || m_abandoned; });
                if (m_abandoned)
                    break;
                block = std::move(m_waiting.front());
                m_waiting.pop_front();
                last = m_last && m_waiting.empty();
            }
            m_changed.notify_all();
            m_totals.crc = static_cast<std::uint32_t>(
                crc32_z(m_totals.crc, reinterpret_cast<const Bytef*>(block.data()), block.size()));
            m_totals.size += block.size();
            unsigned char out[1 << 16];
            std::size_t done = 0;
            do {
                // zlib counts in 32-bit units.
                const std::size_t piece = std::min<std::size_t>(block.size() - done, std::size_t{1} << 30);
                z.next_in = reinterpret_cast<Bytef*>(block.data() + done);
                z.avail_in = static_cast<uInt>(piece);
                const int flush = last && done + piece == block.size() ? Z_FINISH : Z_NO_FLUSH;
                int r = Z_OK;
                do {
                    z.next_out = out;
                    z.avail_out = sizeof out;
                    r = deflate(&z, flush);
                    if (r == Z_STREAM_ERROR)
                        throw std::runtime_error("compression failed");
                    const std::size_t made = sizeof out - z.avail_out;
                    if (made > 0)
                        m_sink(out, made);
                    m_totals.compressed += made;
                } while (z.avail_out == 0 || (flush == Z_FINISH && r != Z_STREAM_END));
                done += piece;
            } while (done < block.size());
            {
                std::lock_guard lock(m_mutex);
                if (m_spare.size() < kMaxWaiting)
                    m_spare.push_back(std::move(block));
            }
            if (last)
                break;
        }
    } catch (...) {
        std::lock_guard lock(m_mutex);
        m_failure = std::current_exception();
    }
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_changed.notify_all();
}

} // namespace cardmill
