// Reading a settings text and looking its keys up: both take time in proportion to the text, so a
// ".cfg" of 80,000 keys costs milliseconds at start, not seconds.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"
#include "engine/Text.h"

namespace {

std::string settingsText(int keys) {
    std::string text = "\xEF\xBB\xBF[Qel]\r\n";
    for (int i = 0; i < keys; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return text;
}

void BM_IniParse(benchmark::State& state) {
    const std::string text = settingsText(static_cast<int>(state.range(0)));
    const ByteBuffer bytes(text.data(), static_cast<int>(text.size()));
    for (auto _ : state) {
        MemoryIniFile ini(bytes);
        benchmark::DoNotOptimize(ini.sections.size());
    }
}
BENCHMARK(BM_IniParse)->Arg(800)->Arg(8000)->Arg(80000)->Unit(benchmark::kMillisecond);

// The engine's pattern for every setting: hasKey, then the typed getter, over keys all through the
// section (a key near the end is found as fast as the first).
void BM_IniLookup(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const std::string text = settingsText(keys);
    MemoryIniFile ini(ByteBuffer(text.data(), static_cast<int>(text.size())));
    std::vector<std::u16string> names;
    for (int i = 0; i < 64; ++i) names.push_back(utf8ToWide("key" + std::to_string(static_cast<int64_t>(i) * 7919 % keys)));
    size_t i = 0;
    for (auto _ : state) {
        const std::u16string& key = names[i++ % names.size()];
        if (ini.hasKey(u"Qel", key)) benchmark::DoNotOptimize(ini.getInt(u"Qel", key));
    }
}
BENCHMARK(BM_IniLookup)->Arg(800)->Arg(8000)->Arg(80000);

}  // namespace
BENCHMARK_MAIN();
