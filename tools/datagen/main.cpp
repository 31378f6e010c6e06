// The data generator: draws the game's pictures, rasterises its glyph pages, synthesises its sounds
// and music, and writes them with the engine's own code into the three data archives beside the
// program, with the static settings and the player's guide.
//
// usage: vesk-datagen OUTPUT-FOLDER [STAGING-FOLDER]
// The loose files, the contact sheets (one PNG per archive) and the table of the figures painted
// into the pictures (figures.txt) go to the staging folder (default: OUTPUT-FOLDER + "-staging").
//        vesk-datagen --level-pictures
// Only draws every level scene's pictures, writes nothing and prints how long that took (wall
// clock, on the cores the process may use): the level pictures are the costliest part.

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "datagen/ArtBank.h"
#include "datagen/AudioBank.h"
#include "datagen/DataWriter.h"
#include "datagen/GlyphPages.h"
#include "datagen/OggEncoder.h"
#include "datagen/ReadMe.h"

namespace {

const std::string kMainArchive = "VeskDiruzuri.dat";
const std::string kLanguageArchive = "VeskDiruzuri.dat.language.v2";
const std::string kCodePageArchive = "VeskDiruzuri.dat.1252";

// The cores this process may run on (taskset, a container's CPU set), not the machine's count.
unsigned usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

// Runs the jobs on the usable cores; each job writes only its own result.
void runAll(std::vector<std::function<void()>>& jobs) {
    std::atomic<size_t> next{0};
    const unsigned count = usableCores();
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < count; ++i)
        threads.emplace_back([&] {
            for (size_t k = next++; k < jobs.size(); k = next++) jobs[k]();
        });
    for (std::thread& t : threads) t.join();
}

template <typename T>
void append(std::vector<T>& to, std::vector<T>& from) {
    for (T& item : from) to.push_back(std::move(item));
}

// One job per level scene: they are the largest pictures. A scene whose decoration depths cannot
// cover its tracks leaves its error instead.
void addLevelJobs(std::vector<std::function<void()>>& jobs, const datagen::ScenePaths& paths, std::vector<std::vector<datagen::TextureImage>>& levels,
                  std::vector<std::string>& errors) {
    levels.assign(paths.tracks.size(), {});
    errors.assign(paths.tracks.size(), {});
    for (size_t i = 0; i < paths.tracks.size(); ++i)
        jobs.push_back([&paths, &levels, &errors, i] {
            try {
                levels[i] = datagen::levelArt(paths, static_cast<int>(i));
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
        });
}

bool reportErrors(const std::vector<std::string>& errors) {
    bool any = false;
    for (const std::string& error : errors)
        if (!error.empty()) {
            std::fprintf(stderr, "vesk-datagen: %s\n", error.c_str());
            any = true;
        }
    return any;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || std::strcmp(argv[1], "--help") == 0 || (std::strcmp(argv[1], "--level-pictures") == 0 && argc != 2)) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER [STAGING-FOLDER]\n       %s --level-pictures\n", argv[0], argv[0]);
        return 2;
    }
    if (std::strcmp(argv[1], "--level-pictures") == 0) {
        const auto start = std::chrono::steady_clock::now();
        const datagen::ScenePaths paths = datagen::buildScenePaths();
        std::vector<std::vector<datagen::TextureImage>> levels;
        std::vector<std::string> errors;
        std::vector<std::function<void()>> jobs;
        addLevelJobs(jobs, paths, levels, errors);
        runAll(jobs);
        if (reportErrors(errors)) return 1;
        std::printf("level pictures: %.2f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return 0;
    }
    const std::string out = argv[1];
    const std::string staging = argc > 2 ? argv[2] : out + "-staging";

    // Everything is made in parallel; results are then written in a fixed order. The tracks'
    // paths are made first, on this thread.
    const datagen::ScenePaths paths = datagen::buildScenePaths();
    std::vector<datagen::TextureImage> boot, gui, game, scenes, glyphs;
    const std::vector<datagen::AudioFile>& audio = datagen::audioFiles();
    std::vector<std::vector<uint8_t>> encoded(audio.size());
    std::vector<std::vector<datagen::TextureImage>> levels;
    std::vector<std::string> levelErrors;
    std::vector<std::function<void()>> jobs;
    addLevelJobs(jobs, paths, levels, levelErrors);
    jobs.push_back([&] { scenes = datagen::sceneArt(paths); });
    jobs.push_back([&] { glyphs = datagen::glyphPages(); });
    for (size_t i = 0; i < audio.size(); ++i)
        jobs.push_back([&, i] {
            const synth::Buffer sound = audio[i].make();
            encoded[i] = datagen::encodeOgg(sound.samples, sound.channels, synth::kRate, audio[i].music ? 0.2f : 0.3f,
                                            static_cast<uint32_t>(i + 1), "vesk-datagen");
        });
    jobs.push_back([&] { boot = datagen::bootArt(); });
    jobs.push_back([&] { gui = datagen::guiArt(); });
    jobs.push_back([&] { game = datagen::gameArt(); });
    runAll(jobs);
    if (reportErrors(levelErrors)) return 1;
    for (auto& level : levels) append(scenes, level);
    if (glyphs.empty()) {
        std::fprintf(stderr, "vesk-datagen: the font faces (DejaVu) are not installed\n");
        return 1;
    }

    std::vector<datagen::TextureImage> mainArt, languageArt;
    for (datagen::TextureImage& t : boot) (t.file == "gfx/system/languageflags.tga" ? languageArt : mainArt).push_back(std::move(t));
    append(mainArt, gui);
    append(mainArt, game);
    append(mainArt, scenes);
    const std::vector<datagen::TextureImage> previews = datagen::levelPreviews(mainArt, paths);

    datagen::DataWriter writer(staging, out);
    bool ok = true;
    for (const datagen::TextureImage& t : mainArt) ok = writer.addTexture(kMainArchive, t) && ok;
    for (size_t i = 0; i < audio.size(); ++i) ok = writer.addFile(kMainArchive, audio[i].name, encoded[i]) && ok;
    for (const datagen::TextureImage& t : languageArt) ok = writer.addTexture(kLanguageArchive, t) && ok;
    for (const datagen::TextureImage& t : glyphs) ok = writer.addTexture(kCodePageArchive, t) && ok;
    if (!ok || !writer.writeArchives()) {
        std::fprintf(stderr, "vesk-datagen: cannot write the data below %s and %s\n", staging.c_str(), out.c_str());
        return 1;
    }
    const std::string settings = datagen::staticSettings(), guide = datagen::readMe();
    if (!datagen::writeWholeFile(out + "/VeskDiruzuri.cfg.static", settings.data(), settings.size()) ||
        !datagen::writeWholeFile(out + "/readme.htm", guide.data(), guide.size())) {
        std::fprintf(stderr, "vesk-datagen: cannot write the settings and the guide into %s\n", out.c_str());
        return 1;
    }

    // The figures painted into the pictures, where the legibility checks read them.
    std::vector<datagen::FigureBox> figures;
    for (const datagen::TextureImage& t : mainArt) figures.insert(figures.end(), t.figures.begin(), t.figures.end());
    const std::string figureTable = datagen::figureTable(figures);
    if (!datagen::writeWholeFile(staging + "/figures.txt", figureTable.data(), figureTable.size())) {
        std::fprintf(stderr, "vesk-datagen: cannot write the figures into %s\n", staging.c_str());
        return 1;
    }

    // Contact sheets for review, one per archive.
    bool sheets[4] = {false, false, false, false};
    std::vector<std::function<void()>> sheetJobs = {
        [&] { sheets[0] = datagen::writeContactSheet(mainArt, staging + "/contact-" + kMainArchive + ".png"); },
        [&] { sheets[1] = datagen::writeContactSheet(languageArt, staging + "/contact-" + kLanguageArchive + ".png"); },
        [&] { sheets[2] = datagen::writePageSheet(glyphs, staging + "/contact-" + kCodePageArchive + ".png"); },
        [&] { sheets[3] = datagen::writePageSheet(previews, staging + "/preview-levels.png", 0.6, false); },
    };
    runAll(sheetJobs);
    if (!sheets[0] || !sheets[1] || !sheets[2] || !sheets[3]) {
        std::fprintf(stderr, "vesk-datagen: cannot write the contact sheets into %s\n", staging.c_str());
        return 1;
    }
    return 0;
}
