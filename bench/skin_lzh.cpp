// Decoding speed of stored skins, in MB of output per second: the program's own
// skin, and 1 MiB of mixed bitmaps and text.
#include "skin/format/Lzh.h"
#include "skin/format/LzhEncode.h"
#include "skin/Skins.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string_view>

namespace {

std::vector<std::uint8_t> ProgramStoredSkin()
{
    const QByteArray property = ProgramSkinStream();
    return std::vector<std::uint8_t>(property.begin() + 4, property.end());
}

// The skin's own pictures and description, then address-book text and a noisy
// photo-like gradient, up to 1 MiB.
std::vector<std::uint8_t> MixedMegabyte()
{
    std::vector<std::uint8_t> data;
    const auto stored = ProgramStoredSkin();
    LzhDecode(stored.data(), stored.size(), data);

    std::mt19937 random(1);
    static constexpr std::string_view words[] = {"Zhang Wei ", "mobile 138", "0571-8888 ", "mail@example.org ",
                                                 "http://home.example.com/ ", "QQ 12345678 ", "remarks: ", "\r\n"};
    const std::size_t megabyte = 1 << 20;
    while (data.size() < megabyte * 3 / 4) {
        const auto word = words[random() % std::size(words)];
        data.insert(data.end(), word.begin(), word.end());
    }
    for (std::size_t i = 0; data.size() < megabyte; ++i)
        data.push_back(static_cast<std::uint8_t>((i / 3) % 200 + random() % 8));
    data.resize(megabyte);
    return data;
}

void Decode(benchmark::State& state, const std::vector<std::uint8_t>& stored)
{
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        LzhDecode(stored.data(), stored.size(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(out.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
    state.counters["output_bytes"] = static_cast<double>(out.size());
    state.counters["stored_bytes"] = static_cast<double>(stored.size());
}

void BM_DecodeProgramSkin(benchmark::State& state) { Decode(state, ProgramStoredSkin()); }

void BM_DecodeMixedMegabyte(benchmark::State& state)
{
    static const std::vector<std::uint8_t> stored = LzhEncode(MixedMegabyte());
    Decode(state, stored);
}

} // namespace

BENCHMARK(BM_DecodeProgramSkin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeMixedMegabyte)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
