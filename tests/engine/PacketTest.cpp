#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>
#include <random>

#include "engine/ClassRegistry.h"
#include "engine/Packet.h"

namespace {

std::vector<uint8_t> written(const Packet& p) { return std::vector<uint8_t>(p.start, p.cursor); }

template <class F>
std::vector<uint8_t> writeWith(F f, int mode = 0) {
    Packet p(mode, 4096);
    f(p);
    return written(p);
}

using Bytes = std::vector<uint8_t>;

}  // namespace

TEST(Packet, SignedVarintBytesAndRoundTrip) {
    const std::pair<int32_t, Bytes> examples[] = {
        {0, {0x00}}, {63, {0x3F}}, {64, {0x80, 0x01}}, {-1, {0x41}}, {-64, {0xC0, 0x01}}, {1000, {0xA8, 0x0F}},
    };
    for (const auto& [value, bytes] : examples) {
        int32_t v = value;
        EXPECT_EQ(writeWith([&](Packet& p) { p.doInt(&v); }), bytes) << value;
    }
    for (int32_t value : {0, 63, 64, -64, 8191, 8192, INT_MAX, INT_MIN, -8193}) {
        Packet p(0, 64);
        int32_t v = value;
        p.doInt(&v);
        const size_t length = p.cursor - p.start;
        if (value == INT_MAX || value == INT_MIN) {
            EXPECT_EQ(length, 5u);
        }
        p.rewindToRead();
        int32_t back = 12345;
        p.doInt(&back);
        EXPECT_EQ(back, value);
        EXPECT_EQ(p.cursor - p.start, static_cast<ptrdiff_t>(length));
    }
}

TEST(Packet, UnsignedVarintBytes) {
    const std::pair<uint32_t, Bytes> examples[] = {
        {0, {0x00}}, {127, {0x7F}}, {128, {0x80, 0x01}}, {300, {0xAC, 0x02}}, {4294967295u, {0xFF, 0xFF, 0xFF, 0xFF, 0x0F}},
    };
    for (const auto& [value, bytes] : examples) {
        uint32_t v = value;
        EXPECT_EQ(writeWith([&](Packet& p) { p.doUInt(&v); }), bytes) << value;
    }
}

TEST(Packet, PackedFloatWords) {
    auto word = [](float f) {
        const Bytes b = writeWith([&](Packet& p) { p.doFloat(&f); });
        return static_cast<uint16_t>(b[0] | b[1] << 8);
    };
    EXPECT_EQ(word(1.0f), 0x3C00);
    EXPECT_EQ(word(-2.5f), 0xC100);
    EXPECT_EQ(word(0.0f), 0x0000);
    EXPECT_EQ(word(-0.0f), 0x0000);
    EXPECT_EQ(word(1e-9f), word(0.000031f));
    EXPECT_EQ(word(1e-9f), 0x0010);
    EXPECT_EQ(word(-1e-9f), 0x8010);
    EXPECT_EQ(word(1e9f), word(130000.0f));
    EXPECT_EQ(word(-1e9f), word(-130000.0f));

    auto read = [](uint16_t w) {
        Packet p(0, 8);
        uint32_t raw = w;
        p.doRawWord(&raw);
        p.rewindToRead();
        float f = 99;
        p.doFloat(&f);
        return f;
    };
    EXPECT_EQ(read(0x0000), 0.0f);
    EXPECT_EQ(read(0x3C00), 1.0f);
    EXPECT_EQ(read(0xC100), -2.5f);
    EXPECT_FLOAT_EQ(read(word(130000.0f)), 129984.0f);
    EXPECT_NEAR(read(word(0.1f)), 0.0999756f, 1e-7);
}

TEST(Packet, BitsShareFlagBytesWhereTheyWereOpened) {
    uint8_t b = 1, c = 1;
    int32_t five = 5;
    EXPECT_EQ(writeWith([&](Packet& p) {
                  p.doBit(&b, 0);
                  p.doInt(&five);
                  p.doBit(&c, 0);
              }),
              (Bytes{0x03, 0x05}));

    Packet p(0, 64);
    uint8_t bits = 0xA5, ninth = 1;
    int32_t between = 7;
    p.doBits(&bits, 8);
    p.doInt(&between);
    p.doBit(&ninth, 0);
    EXPECT_EQ(written(p), (Bytes{0xA5, 0x07, 0x01}));
    p.rewindToRead();
    uint8_t bitsBack = 0, ninthBack = 0x10;
    int32_t betweenBack = 0;
    p.doBits(&bitsBack, 8);
    p.doInt(&betweenBack);
    p.doBit(&ninthBack, 0);
    EXPECT_EQ(bitsBack, 0xA5);
    EXPECT_EQ(betweenBack, 7);
    EXPECT_EQ(ninthBack, 0x11) << "other bits of the byte are kept";
}

TEST(Packet, StringsAreScrambledUtf8WithTheirLength) {
    WString empty;
    EXPECT_EQ(writeWith([&](Packet& p) { p.doUString(&empty, -1); }), Bytes{0x00});
    WString text = u"A\u00e9";
    EXPECT_EQ(writeWith([&](Packet& p) { p.doUString(&text, -1); }), (Bytes{0x03, 'A' ^ 0x3C, 0xC3 ^ 0x3C, 0xA9 ^ 0x3C}));

    Packet p(0, 4096);
    WString longest(1023, u'x');
    p.doUString(&longest, -1);
    p.rewindToRead();
    WString back;
    p.doUString(&back, 1023);
    EXPECT_EQ(back, longest);

    WString tooLong(1024, u'x');
    EXPECT_EXIT(writeWith([&](Packet& q) { q.doUString(&tooLong, -1); }), testing::ExitedWithCode(255), "");
    Packet r(0, 64);
    WString five = u"fives";
    r.doUString(&five, -1);
    r.rewindToRead();
    EXPECT_EXIT(r.doUString(&back, 4), testing::ExitedWithCode(255), "");
}

TEST(Packet, ObjectReferences) {
    QelBase object;
    QelBase* none = nullptr;
    EXPECT_EQ(writeWith([&](Packet& p) { EXPECT_FALSE(p.doPointer2(&none)); }), Bytes{0x00});
    object.objectUID = 300;
    QelBase* ref = &object;
    EXPECT_EQ(writeWith([&](Packet& p) { EXPECT_TRUE(p.doPointer2(&ref)); }), (Bytes{0xAC, 0x02}));
    object.objectUID = -1;
    EXPECT_EXIT(writeWith([&](Packet& p) { p.doPointer2(&ref); }), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(writeWith([&](Packet& p) { p.doPointer(&ref); }, Packet::PACKET_RAW_POINTERS), testing::ExitedWithCode(255), "");

    static QelBase* target = nullptr;
    target = &object;
    Packet::findObjectHook = [](int uid) { return uid == 300 ? target : nullptr; };
    Packet p(0, 16);
    uint32_t uid = 300, unknown = 301;
    p.doUInt(&uid);
    p.doUInt(&unknown);
    p.rewindToRead();
    QelBase* back = nullptr;
    EXPECT_TRUE(p.doPointer2(&back));
    EXPECT_EQ(back, &object);
    EXPECT_EXIT(p.doPointer2(&back), testing::ExitedWithCode(255), "");
    p.bFatalOnBadData = false;
    EXPECT_FALSE(p.doPointer2(&back));
    EXPECT_TRUE(p.bBadData);
    EXPECT_EQ(back, nullptr);
    Packet::findObjectHook = nullptr;
}

TEST(Packet, ClassIdsByNumberAndByDebugId) {
    ClassRegistry::get().assignClassIDs();
    for (int mode : {0, int(Packet::PACKET_DEBUG_MARKERS)}) {
        Packet p(mode, 64);
        ClassRecord* record = &QelBase::classRecord;
        p.doClassID(&record);
        if (mode) {
            EXPECT_EQ(p.cursor - p.start, 4);
        }
        p.rewindToRead();
        ClassRecord* back = nullptr;
        p.doClassID(&back);
        EXPECT_EQ(back, &QelBase::classRecord);
    }
    Packet p(0, 16);
    uint32_t beyond = static_cast<uint32_t>(ClassRegistry::get().sorted.size());
    p.doUInt(&beyond);
    p.rewindToRead();
    ClassRecord* back = nullptr;
    EXPECT_EXIT(p.doClassID(&back), testing::ExitedWithCode(255), "");
}

TEST(Packet, RewindOnlyOnceAndReadsStayInside) {
    Packet p(0, 8);
    int32_t v = 1000;
    p.doInt(&v);
    p.rewindToRead();
    EXPECT_EXIT(p.rewindToRead(), testing::ExitedWithCode(255), "");
    p.doInt(&v);
    EXPECT_EQ(v, 1000);
    EXPECT_EXIT(p.doInt(&v), testing::ExitedWithCode(255), "") << "reading past the data is refused";
    p.bFatalOnBadData = false;
    uint32_t word = 7;
    p.doRawWord(&word);
    EXPECT_TRUE(p.bBadData);
    EXPECT_EQ(word, 0u);

    Packet full(0, 4);
    uint32_t w = 1;
    full.doRawWord(&w);
    EXPECT_EXIT(full.doRawWord(&w), testing::ExitedWithCode(255), "") << "writing past the buffer is refused";
    // A writer that measures itself hears of the overflow and nothing lands past the buffer.
    Packet measured(0, 5);
    measured.bFatalOnBadData = false;
    measured.doRawWord(&w);
    int32_t big = 100000;
    measured.doInt(&big);
    EXPECT_TRUE(measured.bBadData);
    EXPECT_LE(measured.cursor - measured.start, 5);
}

TEST(Packet, OverlongVarintIsBadData) {
    Packet p(0, 16);
    for (int i = 0; i < 8; ++i) {
        uint32_t raw = 0xFFFFFFFF;
        if (i < 2) p.doRawWord(&raw);
    }
    p.rewindToRead();
    p.bFatalOnBadData = false;
    uint32_t v = 5;
    p.doUInt(&v);
    EXPECT_TRUE(p.bBadData);
    EXPECT_EQ(v, 0u);
}

namespace {

// One step of a mixed sequence: writes or reads by the packet's direction and records what it saw.
struct Op {
    int kind;
    int32_t i;
    uint32_t u;
    float f;
    uint8_t bit;
    WString s;
};

void run(Packet& p, std::vector<Op>& ops) {
    for (Op& op : ops) {
        switch (op.kind) {
            case 0: p.doInt(&op.i); break;
            case 1: p.doUInt(&op.u); break;
            case 2: p.doFloat(&op.f); break;
            case 3: p.doBit(&op.bit, 0); break;
            case 4: p.doUString(&op.s, -1); break;
            case 5: p.doRawWord(&op.u); break;
            case 6: p.doBits(&op.bit, 3); break;
        }
    }
}

}  // namespace

TEST(Packet, RandomisedRoundTripOfMixedOperations) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 50; ++round) {
        std::vector<Op> ops(1 + random() % 60);
        for (Op& op : ops) {
            op.kind = static_cast<int>(random() % 7);
            const int shift = static_cast<int>(random() % 32);
            op.i = static_cast<int32_t>(random()) >> shift;
            op.u = static_cast<uint32_t>(random()) >> shift;
            op.f = static_cast<float>(static_cast<int32_t>(random() % 200001) - 100000) / 7.0f;
            op.bit = static_cast<uint8_t>(random() % (op.kind == 6 ? 8 : 2));
            for (int n = static_cast<int>(random() % 12); n > 0; --n) op.s += static_cast<char16_t>(0x20 + random() % 0x3000);
        }
        Packet p(0, 65536);
        run(p, ops);
        p.rewindToRead();
        std::vector<Op> back(ops.size());
        for (size_t k = 0; k < ops.size(); ++k) back[k].kind = ops[k].kind;
        run(p, back);
        ASSERT_EQ(p.cursor - p.start, p.dataSize);
        for (size_t k = 0; k < ops.size(); ++k) {
            const Op &a = ops[k], &b = back[k];
            switch (a.kind) {
                case 0: EXPECT_EQ(a.i, b.i); break;
                case 1:
                case 5: EXPECT_EQ(a.u, b.u); break;
                case 2: EXPECT_NEAR(a.f, b.f, std::fabs(a.f) / 512 + 0.0001f); break;
                case 3:
                case 6: EXPECT_EQ(a.bit, b.bit); break;
                case 4: EXPECT_EQ(a.s, b.s); break;
            }
        }
        // Every cut-short copy reads without touching memory outside the data and reports damage.
        const int full = p.dataSize;
        for (int cut = 0; cut < full; cut += 1 + full / 10) {
            Packet q(0, full);
            std::memcpy(q.start, p.start, static_cast<size_t>(cut));
            q.cursor = q.start + cut;
            q.rewindToRead();
            q.bFatalOnBadData = false;
            std::vector<Op> partial(ops.size());
            for (size_t k = 0; k < ops.size(); ++k) partial[k].kind = ops[k].kind;
            run(q, partial);
            EXPECT_TRUE(q.bBadData);
        }
    }
}
