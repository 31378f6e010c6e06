// Engine readers on the start-up path: the settings file and the JPG pictures.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchBound.h"
#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"
#include "media/MemoryImageFile.h"

namespace {

// A settings text of 'keys' keys in one section, as a ".cfg" that has grown large.
ByteBuffer settingsText(int keys) {
    std::string text = "[Qel]\r\n";
    for (int i = 0; i < keys; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return ByteBuffer(text.data(), static_cast<int>(text.size()));
}

// Loading a ".cfg" of 80,000 keys and reading each key once: the start must not wait on it.
void BM_SettingsLoad80000Keys(benchmark::State& state) {
    const int keys = 80000;
    const ByteBuffer bytes = settingsText(keys);
    std::vector<WString> names;
    for (int i = 0; i < keys; ++i) names.push_back(format(u"key%d", i));
    for (auto _ : state) {
        MemoryIniFile ini(bytes);
        int sum = 0;
        for (const WString& name : names) sum += ini.getInt(u"Qel", name);
        benchmark::DoNotOptimize(sum);
    }
    state.SetLabel("80,000 keys, each read once");
    setBound(state, 100.0);
}
BENCHMARK(BM_SettingsLoad80000Keys)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// Decoding a full-screen picture (2048 x 1024, the size of the menu backgrounds' textures).
void BM_JpgDecode2048x1024(benchmark::State& state) {
    MemoryImageFile picture(2048, 1024);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.pImageData[size_t(y) * size_t(picture.width) + size_t(x)] = 0xFF000000u | uint32_t(x * 255 / 2048) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF);
    char path[] = "/tmp/bench-jpg-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || !picture.saveJPG(85, utf8ToWide(path))) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    close(fd);
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::remove(path);
    for (auto _ : state) {
        MemoryImageFile image(0, 0);
        WString reason;
        if (!image.readJPG(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason)) {
            state.SkipWithError("the picture does not decode");
            return;
        }
        benchmark::DoNotOptimize(image.pImageData);
    }
    state.SetLabel(std::to_string(bytes.size() / 1024) + " KiB");
    setBound(state, 50.0);
}
BENCHMARK(BM_JpgDecode2048x1024)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

BENCHMARK_MAIN();
