#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace cardmill {

// One raw deflate stream (as a zip entry holds it), compressed on a thread of its own while the caller makes
// the next bytes: what is written is gathered into blocks, at most a few blocks wait, and the compressed
// bytes go to `sink` on that thread, in order, with the checksum and sizes counted there too. A merge thus
// spends its own time on the merge, and the compression of a large document costs little more than its
// writing.
class DeflateStream {
public:
    // Called on the compressing thread; may throw, and the exception comes back out of write() or finish().
    using Sink = std::function<void(const unsigned char* data, std::size_t size)>;

    struct Totals {
        std::uint32_t crc = 0; // CRC-32 of the uncompressed bytes
        std::uint64_t size = 0;
        std::uint64_t compressed = 0;
    };

    // `level`: zlib's compression level. `blockSize`: how many bytes go to the thread at a time.
    DeflateStream(int level, Sink sink, std::size_t blockSize = std::size_t{1} << 20);
    // Without finish(): the thread stops at the next block and the stream is abandoned.
    ~DeflateStream();
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    void write(std::string_view bytes);
    // Compresses what is left, ends the stream and waits for the thread. Throws what the sink or zlib threw.
    Totals finish();

private:
    void hand(bool last);
    void run();
    void rethrow();

    int m_level;
    Sink m_sink;
    std::size_t m_blockSize;
    std::string m_filling;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_waiting; // blocks for the thread, oldest first
    std::vector<std::string> m_spare;  // blocks the thread is done with, to fill again
    bool m_last = false;               // the last block is among the waiting ones
    bool m_abandoned = false;
    bool m_done = false;
    std::exception_ptr m_failure;

    Totals m_totals; // the thread's until it is done
    std::thread m_thread;
};

} // namespace cardmill
