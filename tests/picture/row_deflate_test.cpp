// The PNG rows' own deflate, read back by zlib's inflate: every shape of row
// a picture can have, at every distance code a row's width can need.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <zlib.h>

#include "picture/RowDeflate.h"

namespace {

std::string Inflated(const std::string& stream, std::size_t size) {
    std::string back(size + 1, '\0'); // one more: a stream too long shows
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = uInt(stream.size());
    z.next_out = reinterpret_cast<Bytef*>(back.data());
    z.avail_out = uInt(back.size());
    const int status = inflate(&z, Z_FINISH);
    back.resize(z.total_out);
    inflateEnd(&z);
    return status == Z_STREAM_END && z.avail_in == 0 ? back : "inflate: " + std::to_string(status);
}

// Rows of every kind a picture has: the row above again, the row above with
// a few bytes changed, runs of one byte (longer than one copy can be too),
// and bytes that repeat nothing.
std::string Rows(std::size_t rowBytes, int rows, unsigned seed) {
    std::mt19937 random(seed);
    std::string all;
    for (int y = 0; y < rows; ++y) {
        std::string row(rowBytes, '\0');
        const int kind = y == 0 ? 2 : int(random() % 4);
        if (kind == 0 || kind == 1) row = all.substr(all.size() - rowBytes);
        if (kind == 1)
            for (int k = 0; k < 3; ++k)
                row[random() % rowBytes] = char(random());
        for (std::size_t x = 0; kind == 2 && x < rowBytes;) {
            const std::size_t run = std::min<std::size_t>(1 + random() % 600, rowBytes - x);
            row.replace(x, run, run, char(random() % 3 == 0 ? 255 : random()));
            x += run;
        }
        if (kind == 3)
            for (char& c : row)
                c = char(random());
        all += row;
    }
    return all;
}

// With toldRepeats, a row equal to the one above comes as the PNG writer
// gives it, known to repeat; else the deflate finds that out itself.
std::string Deflated(const std::string& data, std::size_t rowBytes, bool toldRepeats) {
    std::string stream;
    TRowDeflate deflate(rowBytes, stream);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    for (std::size_t y = 0; y < data.size() / rowBytes; ++y) {
        const std::uint8_t* row = bytes + y * rowBytes;
        if (toldRepeats && y > 0 && std::memcmp(row, row - rowBytes, rowBytes) == 0)
            deflate.RepeatRow(row);
        else
            deflate.Row(row);
    }
    deflate.Finish();
    return stream;
}

TEST(RowDeflate, InflateGivesBackEveryRow) {
    std::vector<std::size_t> widths;
    for (std::size_t w = 1; w <= 40; ++w)
        widths.push_back(w);
    // Around the first width of every distance code, and the 32 KB window's edge.
    for (std::size_t w = 48; w <= 32768; w *= 2)
        for (const std::size_t near : {w / 2 * 3 - 1, w / 2 * 3, w - 1, w + 1, w})
            widths.push_back(near);
    widths.push_back(32769);
    for (const std::size_t rowBytes : widths)
        for (const int rows : {1, 2, 9})
            for (unsigned seed = 0; seed < 3; ++seed) {
                const std::string data = Rows(rowBytes, rows, seed);
                ASSERT_EQ(Inflated(Deflated(data, rowBytes, seed == 1), data.size()), data)
                    << rowBytes << " bytes a row, " << rows << " rows, seed " << seed;
            }
}

// Counts as the Fibonacci numbers make Huffman's tree as deep as it has
// leaves: the lengths must still fit the limit and make a complete code.
TEST(RowDeflate, HuffmanCodesFitTheirLimit) {
    std::vector<std::uint32_t> fibonacci{1, 1};
    while (fibonacci.size() < 30)
        fibonacci.push_back(fibonacci.end()[-1] + fibonacci.end()[-2]);
    const struct {
        std::vector<std::uint32_t> counts;
        int limit;
    } cases[] = {{{0, 0, 0}, 15}, {{0, 9, 0}, 15}, {{5, 5}, 1}, {{1, 1, 2, 3, 5, 8, 13, 21, 34}, 7},
                 {fibonacci, 15}, {fibonacci, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.counts.size() << " counts, limit " << c.limit);
        const std::vector<int> lengths = HuffmanCodeLengths(c.counts, c.limit);
        double kraft = 0;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            EXPECT_LE(lengths[i], c.limit);
            EXPECT_TRUE(lengths[i] > 0 || c.counts[i] == 0);
            kraft += lengths[i] > 0 ? std::ldexp(1.0, -lengths[i]) : 0.0;
        }
        EXPECT_EQ(kraft, 1.0);
    }
}

} // namespace
