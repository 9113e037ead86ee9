#include "merge/DeflateStream.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include <zlib.h>

namespace cardmill {
namespace {

std::string inflateRaw(const std::string& compressed, std::size_t size)
{
    std::string out(size + 1, '\0');
    z_stream z{};
    EXPECT_EQ(inflateInit2(&z, -15), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u); // one stream, ended where the bytes end
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

TEST(DeflateStream, OneStreamWhateverThePiecesAndBlocks)
{
    // Repetitive XML with random text in it, as a merge writes, in pieces that straddle the blocks.
    std::mt19937 random(7);
    std::string text;
    while (text.size() < 300000) {
        text += "<w:tc><w:p><w:r><w:t>";
        for (int i = random() % 12; i > 0; --i)
            text += static_cast<char>('A' + random() % 26);
        text += "</w:t></w:r></w:p></w:tc>";
    }
    for (std::size_t block : {std::size_t{1000}, std::size_t{1} << 20}) {
        for (std::size_t piece : {std::size_t{7}, std::size_t{999}, text.size()}) {
            SCOPED_TRACE(testing::Message() << "block " << block << ", piece " << piece);
            std::string compressed;
            DeflateStream stream(
                1,
                [&](const unsigned char* data, std::size_t size) {
                    compressed.append(reinterpret_cast<const char*>(data), size);
                },
                block);
            for (std::size_t at = 0; at < text.size(); at += piece)
                stream.write(std::string_view(text).substr(at, piece));
            const DeflateStream::Totals totals = stream.finish();
            EXPECT_EQ(totals.size, text.size());
            EXPECT_EQ(totals.compressed, compressed.size());
            EXPECT_EQ(totals.crc, crc32_z(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
            EXPECT_EQ(inflateRaw(compressed, text.size()), text);
        }
    }
    // Nothing written is an empty stream.
    std::string compressed;
    DeflateStream empty(1, [&](const unsigned char* data, std::size_t size) {
        compressed.append(reinterpret_cast<const char*>(data), size);
    });
    EXPECT_EQ(empty.finish().size, 0u);
    EXPECT_EQ(inflateRaw(compressed, 0), "");
}

TEST(DeflateStream, AFailingSinkStopsTheWriterAndAnAbandonedStreamEnds)
{
    int calls = 0;
    auto failing = [&](const unsigned char*, std::size_t) {
        if (++calls > 1)
            throw std::runtime_error("disk full");
    };
    {
        DeflateStream stream(1, failing, 1000);
        std::string random;
        std::mt19937 r(1);
        for (int i = 0; i < 200000; ++i)
            random += static_cast<char>(r());
        // The failure comes back to the writer: at a later write, or at the end.
        EXPECT_THROW(
            {
                for (int i = 0; i < 50; ++i)
                    stream.write(random);
                stream.finish();
            },
            std::runtime_error);
    }
    // Given up half way: the thread ends with the stream.
    {
        DeflateStream stream(
            1, [](const unsigned char*, std::size_t) {}, 10);
        stream.write(std::string(100000, 'x'));
    }
}

} // namespace
} // namespace cardmill
