#include "datagen/AudioBank.h"

#include <algorithm>
#include <cmath>

namespace datagen {

using namespace synth;

namespace {

constexpr double kTwoPi = 6.283185307179586;

Buffer monoOf(const std::vector<float>& s, float peak = 0.8f) {
    Buffer b(1, static_cast<double>(s.size()) / kRate);
    b.mix(s, 0, 1.0f);
    b.normalize(peak);
    b.fadeEnds(0.001, 0.01);
    return b;
}

// --- interface -------------------------------------------------------------------------------

Buffer mouseClick() {
    std::vector<float> s = noiseBurst(0.03, 11, 260.0f);
    bandPass(s, 3200.0f, 2.0f);
    addInto(s, sine(1800, 900, 0.012), 0, 0.5f);
    return monoOf(s, 0.6f);
}

Buffer pop() {
    std::vector<float> s = sine(900, 260, 0.07);
    envelope(s, 0.003, 40.0);
    std::vector<float> n = noiseBurst(0.01, 3, 400.0f);
    highPass(n, 2000);
    addInto(s, n, 0, 0.3f);
    return monoOf(s, 0.7f);
}

Buffer typewriter() {
    std::vector<float> s = noiseBurst(0.05, 17, 120.0f);
    bandPass(s, 2400.0f, 3.0f);
    std::vector<float> thunk = sine(220, 140, 0.04);
    envelope(thunk, 0.001, 90.0);
    addInto(s, thunk, 0.004, 0.6f);
    return monoOf(s, 0.6f);
}

// --- the launcher and cargo --------------------------------------------------------------------

Buffer bowSound() {
    // A slack string let go: a low twang bending down.
    std::vector<float> s(static_cast<size_t>(0.45 * kRate));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += kTwoPi * (150.0 - 40.0 * t / 0.45) / kRate;
        s[i] = static_cast<float>((std::sin(phase) + 0.4 * std::sin(2 * phase) + 0.2 * std::sin(3 * phase)) * std::exp(-t * 9.0));
    }
    std::vector<float> snap = noiseBurst(0.02, 21, 200.0f);
    bandPass(snap, 1500.0f, 2.0f);
    addInto(s, snap, 0, 0.5f);
    return monoOf(s, 0.75f);
}

Buffer segmentImpact() {
    // A coupling closing: a dull knock and a short metallic ring.
    std::vector<float> s = noiseBurst(0.25, 31, 30.0f);
    lowPass(s, 700.0f);
    std::vector<float> ring = bell(620, 0.25, 0.6f);
    addInto(s, ring, 0.002, 0.8f);
    addInto(s, kick(0.12), 0, 0.7f);
    return monoOf(s, 0.8f);
}

Buffer chainClick() {
    std::vector<float> s = bell(2900, 0.08, 1.5f);
    envelope(s, 0.0005, 60.0);
    std::vector<float> n = noiseBurst(0.015, 41, 300.0f);
    highPass(n, 3500);
    addInto(s, n, 0, 0.6f);
    return monoOf(s, 0.55f);
}

Buffer stardust() {
    // Sparkles rising in a pentatonic scale.
    std::vector<float> s;
    const int notes[] = {84, 86, 88, 91, 93, 96, 98, 100};
    for (int i = 0; i < 8; ++i) addInto(s, bell(noteHz(notes[i]), 0.6, 1.3f), i * 0.05, 0.5f);
    std::vector<float> air = noiseBurst(0.8, 43, 4.0f);
    highPass(air, 6000);
    addInto(s, air, 0, 0.08f);
    return monoOf(s, 0.7f);
}

Buffer boom() {
    std::vector<float> s = noiseBurst(1.2, 51, 4.0f);
    lowPass(s, 220.0f);
    addInto(s, sine(90, 30, 0.8), 0, 0.9f);
    std::vector<float> crack = noiseBurst(0.08, 52, 50.0f);
    addInto(s, crack, 0, 0.3f);
    envelope(s, 0.002, 2.5);
    return monoOf(s, 0.9f);
}

Buffer fireballLaunch() {
    // A rushing whoosh: noise swept through a rising band.
    std::vector<float> s(static_cast<size_t>(0.7 * kRate));
    Noise noise(61);
    float low = 0, band = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / s.size();
        const double fc = 300 + 2500 * t;
        const float f = static_cast<float>(2.0 * std::sin(3.141592653589793 * fc / kRate));
        const float x = noise.next();
        low += f * band;
        const float high = x - low - 0.4f * band;
        band += f * high;
        s[i] = band * static_cast<float>(std::sin(3.141592653589793 * t));
    }
    return monoOf(s, 0.8f);
}

Buffer fireballSound() {
    // A bright guitar strum (E major).
    std::vector<float> s;
    const int chord[] = {40, 47, 52, 56, 59, 64};
    for (int i = 0; i < 6; ++i) addInto(s, pluck(noteHz(chord[i]), 1.6, 70 + i), i * 0.018, 0.4f);
    return monoOf(s, 0.8f);
}

Buffer guitar() {
    // A little riff: G - C - D - G.
    std::vector<float> s;
    const int riff[][3] = {{43, 50, 55}, {48, 52, 55}, {50, 54, 57}, {43, 50, 59}};
    for (int c = 0; c < 4; ++c)
        for (int n = 0; n < 3; ++n) addInto(s, pluck(noteHz(riff[c][n]), 1.0, 80 + c * 3 + n), c * 0.28 + n * 0.015, 0.45f);
    return monoOf(s, 0.8f);
}

Buffer vibe() {
    std::vector<float> s = bell(noteHz(76), 1.4, 0.5f);
    for (size_t i = 0; i < s.size(); ++i) s[i] *= static_cast<float>(0.75 + 0.25 * std::sin(kTwoPi * 6.0 * i / kRate));
    std::vector<float> fifth = bell(noteHz(83), 1.4, 0.5f);
    addInto(s, fifth, 0.08, 0.6f);
    return monoOf(s, 0.7f);
}

// --- the train ---------------------------------------------------------------------------------

Buffer trainBell() {
    std::vector<float> s;
    addInto(s, bell(1180, 0.7, 1.1f), 0, 1.0f);
    addInto(s, bell(1180, 0.7, 1.1f), 0.22, 0.9f);
    return monoOf(s, 0.75f);
}

Buffer toot() { return monoOf(steamWhistle(1.3, 392, 91), 0.8f); }

Buffer toot2() {
    std::vector<float> s;
    addInto(s, steamWhistle(0.28, 392, 92), 0, 1.0f);
    addInto(s, steamWhistle(0.4, 392, 93), 0.36, 1.0f);
    return monoOf(s, 0.8f);
}

Buffer whistle() {
    // Departure: one long, rising, slightly louder whistle.
    std::vector<float> s = steamWhistle(2.0, 349, 94);
    std::vector<float> hiss = noiseBurst(2.0, 95, 0.8f);
    highPass(hiss, 2500);
    addInto(s, hiss, 0, 0.15f);
    return monoOf(s, 0.85f);
}

Buffer engineChug() {
    // Four chuffs per loop, placed so the loop repeats without a seam.
    const double loop = 0.8;
    Buffer b(1, loop);
    for (int k = 0; k < 4; ++k) {
        std::vector<float> chuff = noiseBurst(0.3, 100 + k, 14.0f);
        bandPass(chuff, k % 2 ? 900.0f : 650.0f, 1.5f);
        b.mix(chuff, k * loop / 4, k == 0 ? 1.0f : 0.75f, 0, true);
        std::vector<float> thump = kick(0.1);
        b.mix(thump, k * loop / 4, 0.25f, 0, true);
    }
    b.normalize(0.7f);
    return b;
}

Buffer steam() {
    std::vector<float> s(static_cast<size_t>(1.1 * kRate));
    Noise noise(111);
    for (float& v : s) v = noise.next();
    highPass(s, 1800);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[i] *= static_cast<float>(std::min(1.0, t / 0.03) * std::exp(-t * 2.5));
    }
    return monoOf(s, 0.6f);
}

Buffer railSqueak() {
    std::vector<float> s(static_cast<size_t>(0.9 * kRate));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double f = 2350 + 60 * std::sin(kTwoPi * 7 * t) + 120 * t;
        phase += kTwoPi * f / kRate;
        const double env = std::min({1.0, t / 0.1, (0.9 - t) / 0.25});
        s[i] = static_cast<float>((std::sin(phase) + 0.3 * std::sin(3.01 * phase)) * env);
    }
    return monoOf(s, 0.45f);
}

// --- clocks and bells --------------------------------------------------------------------------

Buffer tick() {
    std::vector<float> s = bell(3400, 0.05, 2.0f);
    envelope(s, 0.0003, 90.0);
    return monoOf(s, 0.5f);
}

Buffer trainSlow() {
    // A slow tick-tock, one second long.
    std::vector<float> s;
    std::vector<float> tk = bell(3000, 0.06, 2.0f);
    envelope(tk, 0.0003, 80.0);
    std::vector<float> tock = bell(2100, 0.06, 2.0f);
    envelope(tock, 0.0003, 80.0);
    addInto(s, tk, 0, 1.0f);
    addInto(s, tock, 0.5, 0.9f);
    s.resize(static_cast<size_t>(kRate));
    return monoOf(s, 0.5f);
}

Buffer bigBell() { return monoOf(bell(noteHz(62), 2.5, 0.8f), 0.8f); }
Buffer smallBell() { return monoOf(bell(noteHz(86), 1.0, 1.2f), 0.7f); }

// --- jingles -----------------------------------------------------------------------------------

std::vector<float> melody(const int* notes, const double* beats, int count, double secondsPerBeat, double ring, uint32_t seed, bool plucked) {
    std::vector<float> s;
    double t = 0;
    for (int i = 0; i < count; ++i) {
        if (notes[i] > 0) {
            std::vector<float> n = plucked ? pluck(noteHz(notes[i]), ring, seed + i) : bell(noteHz(notes[i]), ring, 1.0f);
            addInto(s, n, t, 0.6f);
        }
        t += beats[i] * secondsPerBeat;
    }
    return s;
}

Buffer streak() {
    const int n[] = {72, 76, 79, 84, 79, 84, 88};
    const double b[] = {1, 1, 1, 2, 1, 1, 3};
    std::vector<float> s = melody(n, b, 7, 0.07, 0.7, 300, false);
    addInto(s, sleighBells(0.4, 301), 0, 0.5f);
    return monoOf(s, 0.8f);
}

Buffer extraLife() {
    const int n[] = {67, 72, 76, 79, 84};
    const double b[] = {1, 1, 1, 1, 3};
    std::vector<float> s = melody(n, b, 5, 0.09, 0.9, 310, false);
    addInto(s, sleighBells(0.5, 311), 0.36, 0.5f);
    return monoOf(s, 0.8f);
}

Buffer loseRound() {
    const int n[] = {67, 66, 65, 64, 63, 62};
    const double b[] = {1.5, 1.5, 1.5, 1.5, 1.5, 4};
    std::vector<float> s = melody(n, b, 6, 0.16, 1.2, 320, true);
    return monoOf(s, 0.8f);
}

Buffer winRound() {
    const int n[] = {60, 64, 67, 72, 67, 72, 76, 79};
    const double b[] = {1, 1, 1, 2, 1, 1, 1, 4};
    std::vector<float> s = melody(n, b, 8, 0.1, 1.0, 330, false);
    std::vector<float> chord;
    for (int note : {60, 64, 67, 72}) addInto(chord, softSquare(noteHz(note), 0.9, 0.02f, 0.4f), 0, 0.25f);
    addInto(s, chord, 1.2, 1.0f);
    addInto(s, sleighBells(0.6, 331), 1.2, 0.6f);
    return monoOf(s, 0.8f);
}

Buffer wrong() {
    std::vector<float> s;
    addInto(s, softSquare(noteHz(58), 0.18, 0.005f, 0.05f), 0, 1.0f);
    addInto(s, softSquare(noteHz(52), 0.3, 0.005f, 0.1f), 0.2, 1.0f);
    lowPass(s, 2500);
    return monoOf(s, 0.6f);
}

// --- fireworks and the crowd -------------------------------------------------------------------

Buffer fireworkBang(double seconds, uint32_t seed) {
    std::vector<float> s = noiseBurst(seconds, seed, 6.0f);
    lowPass(s, 1800.0f);
    addInto(s, sine(120, 40, 0.4), 0, 0.8f);
    Noise noise(seed + 1);
    // Crackles after the bang.
    for (int k = 0; k < static_cast<int>(seconds * 40); ++k) {
        std::vector<float> c = noiseBurst(0.01, seed + 10 + k, 300.0f);
        highPass(c, 3000);
        addInto(s, c, 0.15 + noise.unit() * (seconds - 0.2), 0.15f + noise.unit() * 0.2f);
    }
    s.resize(static_cast<size_t>(seconds * kRate));
    return monoOf(s, 0.85f);
}

Buffer fireworkBangShort() { return fireworkBang(0.6, 400); }
Buffer fireworkBangLong() { return fireworkBang(1.6, 420); }

Buffer handClap() { return monoOf(clap(500), 0.8f); }

Buffer applause(double seconds, int clappers, uint32_t seed) {
    Buffer b(2, seconds);
    Noise noise(seed);
    for (int c = 0; c < clappers; ++c) {
        const double rate = 3.5 + noise.unit() * 2.0;
        const float pan = noise.next() * 0.9f;
        const float level = 0.3f + noise.unit() * 0.5f;
        for (double t = noise.unit() * 0.3; t < seconds - 0.2; t += 1.0 / rate * (0.9 + 0.2 * noise.unit())) {
            const double fade = std::min(1.0, (seconds - t) / (seconds * 0.4));
            b.mix(clap(seed + static_cast<uint32_t>(t * 1000) + c), t, static_cast<float>(level * fade), pan);
        }
    }
    b.normalize(0.75f);
    b.fadeEnds(0.05, 0.3);
    return b;
}

Buffer applause1() { return applause(2.5, 12, 600); }
Buffer applause2() { return applause(3.5, 20, 700); }
Buffer applause3() { return applause(5.0, 32, 800); }

// --- music -------------------------------------------------------------------------------------

struct Note {
    int midi;  // 0 = rest
    double beats;
};

struct Song {
    double bpm;
    int beatsPerBar;
    std::vector<Note> tune;
    std::vector<int> barRoots;  // bass root per bar
    int passes;                 // the tune is played this many times per loop
    bool minor;
};

// Renders a seamless loop: the melody on bells (and an octave-up pluck on the repeat), a walking
// bass, sleigh bells on the beat and a soft pad; tails wrap around to the start.
Buffer render(const Song& song, uint32_t seed) {
    const double spb = 60.0 / song.bpm;
    double tuneBeats = 0;
    for (const Note& n : song.tune) tuneBeats += n.beats;
    const double loopSeconds = tuneBeats * spb * song.passes;
    Buffer b(2, loopSeconds);
    Noise noise(seed);
    for (int pass = 0; pass < song.passes; ++pass) {
        const double base = pass * tuneBeats * spb;
        double t = base;
        for (const Note& n : song.tune) {
            if (n.midi > 0) {
                const double len = n.beats * spb;
                b.mix(bell(noteHz(n.midi), std::max(0.6, len * 2.5), 1.0f), t, 0.55f, -0.15f, true);
                if (pass % 2 == 1) b.mix(pluck(noteHz(n.midi + 12), std::max(0.5, len * 2), seed + static_cast<uint32_t>(t * 100)), t, 0.25f, 0.3f, true);
                else b.mix(softSquare(noteHz(n.midi), len * 0.95, 0.01f, std::min(0.08, len * 0.4)), t, 0.12f, 0.1f, true);
            }
            t += n.beats * spb;
        }
        // Bass and pad by bar.
        const int bars = static_cast<int>(tuneBeats / song.beatsPerBar + 0.5);
        for (int bar = 0; bar < bars; ++bar) {
            const int root = song.barRoots[static_cast<size_t>(bar) % song.barRoots.size()];
            const double barStart = base + bar * song.beatsPerBar * spb;
            for (int beat = 0; beat < song.beatsPerBar; ++beat) {
                const int note = root - 24 + (beat % 2 == 1 ? 7 : 0);
                b.mix(pluck(noteHz(note), spb * 1.5, seed + bar * 8 + beat, 0.993f), barStart + beat * spb, 0.55f, 0.0f, true);
                std::vector<float> jingle = sleighBells(0.2, seed + 1000 + bar * 8 + beat);
                b.mix(jingle, barStart + beat * spb, beat == 0 ? 0.35f : 0.22f, 0.4f, true);
                if (song.bpm > 150) b.mix(sleighBells(0.15, seed + 2000 + bar * 8 + beat), barStart + (beat + 0.5) * spb, 0.12f, 0.5f, true);
            }
            const int third = song.minor ? 3 : 4;
            for (int interval : {0, third, 7}) b.mix(softSquare(noteHz(root - 12 + interval), song.beatsPerBar * spb, 0.15f, 0.2f), barStart, 0.05f, -0.4f, true);
            b.mix(kick(0.25), barStart, 0.35f, 0.0f, true);
        }
    }
    (void)noise;
    b.normalize(0.8f);
    return b;
}

Buffer theme() {
    // Jingle Bells (traditional), chorus twice.
    const Song song{150, 4,
                    {{64, 1}, {64, 1}, {64, 2}, {64, 1}, {64, 1}, {64, 2}, {64, 1}, {67, 1}, {60, 1.5}, {62, 0.5}, {64, 4},
                     {65, 1}, {65, 1}, {65, 1.5}, {65, 0.5}, {65, 1}, {64, 1}, {64, 1}, {64, 0.5}, {64, 0.5},
                     {64, 1}, {62, 1}, {62, 1}, {64, 1}, {62, 2}, {67, 2},
                     {64, 1}, {64, 1}, {64, 2}, {64, 1}, {64, 1}, {64, 2}, {64, 1}, {67, 1}, {60, 1.5}, {62, 0.5}, {64, 4},
                     {65, 1}, {65, 1}, {65, 1.5}, {65, 0.5}, {65, 1}, {64, 1}, {64, 1}, {64, 0.5}, {64, 0.5},
                     {67, 1}, {67, 1}, {65, 1}, {62, 1}, {60, 4}},
                    {60, 60, 60, 60, 65, 60, 67, 67, 60, 60, 60, 60, 65, 60, 67, 60},
                    2,
                    false};
    return render(song, 7000);
}

Buffer game1() {
    // Deck the Halls (traditional).
    const Song song{140, 4,
                    {{67, 1.5}, {65, 0.5}, {64, 1}, {62, 1}, {60, 1}, {62, 1}, {64, 1}, {60, 1},
                     {62, 0.5}, {64, 0.5}, {65, 0.5}, {62, 0.5}, {64, 1.5}, {62, 0.5}, {60, 1}, {59, 1}, {60, 2},
                     {67, 1.5}, {65, 0.5}, {64, 1}, {62, 1}, {60, 1}, {62, 1}, {64, 1}, {60, 1},
                     {62, 0.5}, {64, 0.5}, {65, 0.5}, {62, 0.5}, {64, 1.5}, {62, 0.5}, {60, 1}, {59, 1}, {60, 2},
                     {62, 1.5}, {64, 0.5}, {65, 1}, {62, 1}, {64, 1.5}, {65, 0.5}, {67, 1}, {62, 1},
                     {64, 0.5}, {66, 0.5}, {67, 1}, {69, 0.5}, {71, 0.5}, {72, 1}, {71, 1}, {69, 1}, {67, 2},
                     {67, 1.5}, {65, 0.5}, {64, 1}, {62, 1}, {60, 1}, {62, 1}, {64, 1}, {60, 1},
                     {69, 0.5}, {69, 0.5}, {69, 0.5}, {69, 0.5}, {67, 1.5}, {65, 0.5}, {64, 1}, {62, 1}, {60, 2}},
                    {60, 60, 67, 60, 60, 60, 67, 60, 67, 60, 62, 67, 60, 60, 65, 60},
                    2,
                    false};
    return render(song, 7100);
}

Buffer game2() {
    // We Wish You a Merry Christmas (traditional), in 3/4.
    const Song song{160, 3,
                    {{67, 1}, {67, 0.5}, {69, 0.5}, {67, 0.5}, {66, 0.5}, {64, 1}, {64, 1}, {64, 1},
                     {69, 1}, {69, 0.5}, {71, 0.5}, {69, 0.5}, {67, 0.5}, {66, 1}, {62, 1}, {62, 1},
                     {71, 1}, {71, 0.5}, {72, 0.5}, {71, 0.5}, {69, 0.5}, {67, 1}, {64, 1}, {62, 0.5}, {62, 0.5},
                     {64, 1}, {69, 1}, {66, 1}, {67, 2}, {62, 1}},
                    {67, 60, 69, 62, 71, 60, 62, 67},
                    4,
                    false};
    return render(song, 7200);
}

Buffer game3() {
    // God Rest Ye Merry Gentlemen (traditional), in E minor.
    const Song song{150, 4,
                    {{64, 1}, {64, 1}, {71, 1}, {71, 1}, {69, 1}, {67, 1}, {66, 1}, {64, 1}, {62, 1}, {64, 1}, {66, 1}, {67, 1}, {69, 1}, {71, 3},
                     {64, 1}, {64, 1}, {71, 1}, {71, 1}, {69, 1}, {67, 1}, {66, 1}, {64, 1}, {62, 1}, {64, 1}, {66, 1}, {67, 1}, {69, 1}, {71, 3},
                     {71, 1}, {72, 1}, {69, 1}, {71, 1}, {72, 1}, {74, 1}, {76, 1}, {71, 1}, {69, 1}, {67, 1}, {64, 1}, {66, 1}, {67, 2}, {69, 1}, {71, 1},
                     {72, 2}, {71, 1}, {69, 1}, {67, 1}, {66, 1}, {64, 1}, {67, 1}, {66, 1}, {64, 1}, {62, 1}, {64, 4}},
                    {64, 64, 62, 71, 64, 64, 62, 71, 67, 60, 64, 60, 69, 64, 71, 64},
                    2,
                    true};
    return render(song, 7300);
}

Buffer hurry() {
    // An urgent riff of our own in A minor, fast.
    const Song song{196, 4,
                    {{69, 0.5}, {72, 0.5}, {76, 0.5}, {72, 0.5}, {69, 0.5}, {72, 0.5}, {76, 0.5}, {79, 0.5},
                     {77, 0.5}, {76, 0.5}, {74, 0.5}, {72, 0.5}, {71, 0.5}, {72, 0.5}, {74, 1},
                     {69, 0.5}, {72, 0.5}, {76, 0.5}, {72, 0.5}, {69, 0.5}, {72, 0.5}, {76, 0.5}, {81, 0.5},
                     {79, 0.5}, {77, 0.5}, {76, 0.5}, {74, 0.5}, {72, 0.5}, {71, 0.5}, {69, 1}},
                    {69, 65, 69, 64},
                    4,
                    true};
    return render(song, 7400);
}

}  // namespace

const std::vector<AudioFile>& audioFiles() {
    static const std::vector<AudioFile> files = {
        {"xmas-edition/sfx/music/theme.ogg", true, theme},
        {"xmas-edition/sfx/music/game1.ogg", true, game1},
        {"xmas-edition/sfx/music/game2.ogg", true, game2},
        {"xmas-edition/sfx/music/game3.ogg", true, game3},
        {"sfx/music/hurry.ogg", true, hurry},
        {"sfx/clickXP.ogg", false, mouseClick},
        {"sfx/pop.ogg", false, pop},
        {"sfx/typewriter.ogg", false, typewriter},
        {"sfx/bow.ogg", false, bowSound},
        {"sfx/coupling.ogg", false, segmentImpact},
        {"sfx/trainBell-short.ogg", false, trainBell},
        {"sfx/tootLong.ogg", false, toot},
        {"sfx/tootShortx2.ogg", false, toot2},
        {"sfx/chugcontinuous2.ogg", false, engineChug},
        {"sfx/stardust.ogg", false, stardust},
        {"sfx/boom.ogg", false, boom},
        {"sfx/chainclick.ogg", false, chainClick},
        {"sfx/guitar1.ogg", false, fireballSound},
        {"sfx/clock-tick.ogg", false, tick},
        {"sfx/vibe.ogg", false, vibe},
        {"sfx/fireworkbang-short.ogg", false, fireworkBangShort},
        {"sfx/fireworkbang.ogg", false, fireworkBangLong},
        {"sfx/airbrake.ogg", false, steam},
        {"sfx/railsqueak.ogg", false, railSqueak},
        {"sfx/depart.ogg", false, whistle},
        {"sfx/guitar2.ogg", false, guitar},
        {"sfx/bell.ogg", false, bigBell},
        {"sfx/bellsmall.ogg", false, smallBell},
        {"sfx/clocktick.slow.ogg", false, trainSlow},
        {"sfx/jingleX3part.ogg", false, streak},
        {"sfx/jingle03.ogg", false, extraLife},
        {"sfx/jinglelose.ogg", false, loseRound},
        {"sfx/jinglewin.ogg", false, winRound},
        {"sfx/jingle06.ogg", false, wrong},
        {"sfx/fireball.ogg", false, fireballLaunch},
        {"sfx/hclap60.ogg", false, handClap},
        {"sfx/applause-1.ogg", false, applause1},
        {"sfx/applause-2.ogg", false, applause2},
        {"sfx/applause-3.ogg", false, applause3},
    };
    return files;
}

}  // namespace datagen
