#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/ByteBuffer.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/NetAddress.h"
#include "engine/NetConnection.h"
#include "engine/NetStatsBucket.h"
#include "engine/Qel.h"
#include "engine/QelNetwork.h"
#include "platform/Sockets.h"
#include "support/TestFolder.h"

namespace {

NetAddress loopback(uint16_t port) {
    NetAddress address;
    address.setIPv4(0x7F000001u);
    address.setPort(port);
    return address;
}

std::string receiveText(NetConnection& connection, NetAddress& from) {
    char buffer[256];
    // Loopback datagrams are delivered by the time sendto returns; a few tries cover scheduling.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int n = connection.receive(from, buffer, sizeof(buffer));
        if (n >= 0) return std::string(buffer, static_cast<size_t>(n));
    }
    return "<nothing>";
}

}  // namespace

TEST(NetAddress, DefaultIsAnyAddressOnTheGamePortLaidOutAsSockaddrIn) {
    NetAddress address;
    EXPECT_EQ(address.toString(), u"0.0.0.0:23006");
    uint8_t bytes[16];
    std::memcpy(bytes, &address, 16);
    const uint8_t expected[16] = {2, 0, 0x59, 0xDE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 16));
}

TEST(NetAddress, SetFromString) {
    struct Case {
        const char16_t* text;
        bool ok;
        const char16_t* result;
    } cases[] = {
        {u"localhost:5000", true, u"127.0.0.1:5000"},
        {u"localhost", true, u"127.0.0.1:0"},
        {u"192.168.10.254:23006", true, u"192.168.10.254:23006"},
        {u"10.0.0.1:junk", true, u"10.0.0.1:0"},
        {u"127.0.0.1:65535", true, u"127.0.0.1:65535"},
        {u":80", false, u"0.0.0.0:0"},
        {u"", false, u"0.0.0.0:0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wideToUtf8(c.text));
        NetAddress address;
        EXPECT_EQ(address.setFromString(c.text), c.ok);
        EXPECT_EQ(address.toString(), c.result);
        EXPECT_EQ(address.family, 2);
    }
}

TEST(NetAddress, PortOutOfRangeIsRefused) {
    NetAddress address;
    EXPECT_FALSE(address.setFromString(u"127.0.0.1:99999"));
    EXPECT_EQ(address.toString(), u"0.0.0.0:0");
    EXPECT_FALSE(address.setFromString(u"127.0.0.1:-1"));
    EXPECT_EQ(address.toString(), u"0.0.0.0:0");
}

// A server's address text is taken only as five decimal numbers, never looked up.
TEST(NetAddress, DottedTextIsExactAndNeverLookedUp) {
    struct Case {
        const char16_t* text;
        const char* result;  // null: refused
    } cases[] = {
        {u"1.2.3.4:5", "1.2.3.4:5"},
        {u"  255.255.255.255:65535\t", "255.255.255.255:65535"},
        {u"0.0.0.0:0", "0.0.0.0:0"},
        {u"10.0.0.1:00080", "10.0.0.1:80"},
        {u"300.1.1.1:99999", nullptr},
        {u"1.2.3.4", nullptr},
        {u"1.2.3:4", nullptr},
        {u"localhost:80", nullptr},
        {u"1.2.3.4:65536", nullptr},
        {u"1.2.3.4:5x", nullptr},
        {u"1.2.3.4:", nullptr},
        {u"1.2.3.4:-5", nullptr},
        {u"1.2.3.4:+5", nullptr},
        {u"1.2. 3.4:5", nullptr},
        {u"1.2.3.4:5 6", nullptr},
        {u"1.2.3.4.5:6", nullptr},
        {u"1.2.3.256:5", nullptr},
        {u"1.2.3.4:1000000", nullptr},
        {u"", nullptr},
    };
    const int lookupsBefore = platform::hostLookupCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(wideToUtf8(c.text));
        NetAddress address;
        address.family = 7;
        address.setIPv4(0x0A0B0C0D);
        address.setPort(42);
        EXPECT_EQ(address.setFromDottedText(c.text), c.result != nullptr);
        if (c.result) {
            EXPECT_EQ(wideToUtf8(address.toString()), c.result);
            EXPECT_EQ(address.family, 2);
        } else {
            EXPECT_EQ(address.toString(), u"10.11.12.13:42");  // untouched
            EXPECT_EQ(address.family, 7);
        }
    }
    EXPECT_EQ(platform::hostLookupCount(), lookupsBefore);
}

TEST(NetAddress, AddressAndPortAreInNetworkOrder) {
    NetAddress address;
    ASSERT_TRUE(address.setFromString(u"1.2.3.4:258"));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(address.getSockAddr());
    const uint8_t expected[8] = {2, 0, 1, 2, 1, 2, 3, 4};
    EXPECT_EQ(0, std::memcmp(bytes, expected, 8));
}

TEST(QelNetwork, WinsockErrorNames) {
    struct Case {
        int code;
        const char16_t* name;
    } cases[] = {
        {10048, u"WSAEADDRINUSE"},   {10093, u"WSANOTINITIALISED"},         {10035, u"WSAEWOULDBLOCK"},
        {11024, u"WSA_QOS_EUNKOWNPSOBJ"}, {11001, u"WSAHOST_NOT_FOUND"},    {997, u"WSA_IO_PENDING"},
        {12345, u"Unknown WSA error: 00003039"}, {0, u"Unknown WSA error: 00000000"}, {-1, u"Unknown WSA error: ffffffff"},
    };
    for (const Case& c : cases) EXPECT_EQ(QelNetwork::getWSAErrorString(c.code), c.name) << c.code;
}

TEST(QelNetwork, EmulationSettingIsWrittenWithItsDefaultThenRead) {
    MemoryIniFile config(ByteBuffer("[QelNetwork]\r\n", 14));
    QelNetwork network(&config);
    EXPECT_TRUE(network.bEmulateLocalhost);
    EXPECT_EQ(config.getString(u"QelNetwork", u"bEmulateLocalhost"), u"Yes");

    const char text[] = "[QelNetwork]\r\nbEmulateLocalhost=No\r\n";
    MemoryIniFile off(ByteBuffer(text, sizeof(text) - 1));
    QelNetwork real(&off);
    EXPECT_FALSE(real.bEmulateLocalhost);
    NetConnection connection(loopback(0), &real);
    EXPECT_FALSE(connection.bEmulated);
    EXPECT_GE(connection.wsaSocket, 0);
}

TEST(NetConnection, EmulatedConnectionsTakeConsecutivePortsAndUseNoSocket) {
    QelNetwork network;
    NetConnection first(loopback(23006), &network);
    NetConnection second(loopback(23006), &network);
    EXPECT_TRUE(first.bEmulated);
    EXPECT_EQ(first.address.toString(), u"127.0.0.1:1");
    EXPECT_EQ(second.address.toString(), u"127.0.0.1:2");
    EXPECT_EQ(first.wsaSocket, -1);
    EXPECT_TRUE(first.isOpen());
    EXPECT_EQ(network.nextEmulatedPort, 3);
}

TEST(NetConnection, EmulatedLocalhostQueueDeliversToItsAddressOnly) {
    QelNetwork network;
    NetConnection a(loopback(0), &network);
    NetConnection b(loopback(0), &network);
    NetAddress from;
    char buffer[16];
    EXPECT_EQ(b.receive(from, buffer, sizeof(buffer)), -1);

    ASSERT_TRUE(a.sendTo(b.address, "one", 3));
    ASSERT_TRUE(a.sendTo(b.address, "two", 3));
    ASSERT_TRUE(b.sendTo(a.address, "back", 4));
    EXPECT_EQ(network.countEmulatedPackets(), 3);
    EXPECT_EQ(receiveText(b, from), "one");
    EXPECT_EQ(from, a.address);
    EXPECT_EQ(receiveText(b, from), "two");
    EXPECT_EQ(b.receive(from, buffer, sizeof(buffer)), -1);
    EXPECT_EQ(receiveText(a, from), "back");
    EXPECT_EQ(from, b.address);
    EXPECT_EQ(network.countEmulatedPackets(), 0);

    NetAddress elsewhere;
    elsewhere.setFromString(u"10.1.2.3:23006");
    EXPECT_FALSE(a.sendTo(elsewhere, "x", 1));
}

TEST(NetConnection, DeletedEmulatedConnectionFlushesItsQueuedDatagrams) {
    QelNetwork network;
    NetConnection a(loopback(0), &network);
    auto* b = new NetConnection(loopback(0), &network);
    a.sendTo(b->address, "1", 1);
    a.sendTo(a.address, "self", 4);
    a.sendTo(b->address, "2", 1);
    delete b;
    EXPECT_EQ(network.countEmulatedPackets(), 1);
    NetAddress from;
    EXPECT_EQ(receiveText(a, from), "self");
}

TEST(NetConnection, UdpLoopbackSendAndReceive) {
    NetConnection a(loopback(0));
    NetConnection b(loopback(0));
    ASSERT_TRUE(a.isOpen());
    ASSERT_TRUE(b.isOpen());
    EXPECT_FALSE(a.bEmulated);
    EXPECT_NE(a.address.getPort(), 0);  // the bound address is read back

    NetAddress from;
    char buffer[8];
    EXPECT_EQ(b.receive(from, buffer, sizeof(buffer)), -1);  // non-blocking: nothing waiting
    EXPECT_EQ(platform::lastSocketError(), platform::WSAEWOULDBLOCK);

    ASSERT_TRUE(a.sendTo(b.address, "hello", 5));
    EXPECT_EQ(receiveText(b, from), "hello");
    EXPECT_EQ(from, a.address);
    ASSERT_TRUE(b.sendTo(a.address, "", 0));
    EXPECT_EQ(receiveText(a, from), "");
}

TEST(NetConnection, PortInUseIsReportedToTheCaller) {
    NetConnection holder(loopback(0));
    ASSERT_TRUE(holder.isOpen());
    NetConnection second(holder.address);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(second.wsaSocket, -1);
    EXPECT_EQ(QelNetwork::getWSAErrorString(second.bindError), u"WSAEADDRINUSE");
    NetAddress from;
    char buffer[4];
    EXPECT_EQ(second.receive(from, buffer, sizeof(buffer)), -1);
    EXPECT_FALSE(second.sendTo(holder.address, "x", 1));
}

TEST(NetConnection, StatsBucketsFollowEngineSeconds) {
    NetConnection connection(loopback(0));
    EXPECT_DOUBLE_EQ(connection.getCurrentStatsBucket(0.5)->startTime, 0.5);
    EXPECT_DOUBLE_EQ(connection.getCurrentStatsBucket(0.9)->startTime, 0.5);
    NetStatsBucket* third = connection.getCurrentStatsBucket(1.6);
    EXPECT_DOUBLE_EQ(third->startTime, 1.5);
    EXPECT_DOUBLE_EQ(third->endTime, 2.5);
    EXPECT_DOUBLE_EQ(connection.getCurrentStatsBucket(5.0)->startTime, 2.5);
    EXPECT_EQ(connection.statsHistory.countChildren(), 3);
}

TEST(NetConnection, StatsHistoryKeepsAboutTenSecondsAndTotalsEndedBuckets) {
    NetConnection connection(loopback(0));
    for (int second = 0; second < 30; ++second) {
        NetStatsBucket* bucket = connection.getCurrentStatsBucket(second + 0.25);
        bucket->table[0][3] += 1;
        bucket->counters[2] += 2;
    }
    EXPECT_LE(connection.statsHistory.countChildren(), 11);
    EXPECT_GE(connection.statsHistory.countChildren(), 10);
    EXPECT_EQ(connection.statsTotal.table[0][3], 29u);  // every bucket but the current one
    EXPECT_EQ(connection.statsTotal.counters[2], 58u);
}

namespace {

std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }

}  // namespace

TEST(NetworkLog, ServiceAndConnectionsLogTheirSteps) {
    auto* engine = new Qel();
    {
        QelNetwork network;
        {
            NetConnection emulated(loopback(0), &network);
            emulated.sendTo(emulated.address, "x", 1);
        }
        QelNetwork sockets;
        sockets.bEmulateLocalhost = false;
        NetConnection holder(loopback(0), &sockets);
        NetConnection refused(holder.address, &sockets);
    }
    const std::string log = logText();
    delete engine;
    const char* expected[] = {
        "\tQelNetwork::QelNetwork(): Starting...\r\n",
        "\tQelNetwork::QelNetwork(): Done.\r\n",
        "\tNetConnection::NetConnection(): Creating emulated localhost connection: 127.0.0.1:1.\r\n",
        "\tQelNetwork::flushEmulatedPackets(): Flushed packets for 127.0.0.1:1, queue length is now 0.\r\n",
        "\tNetConnection::NetConnection(): Binding to address: 127.0.0.1:0.\r\n",
        "\tNetConnection::NetConnection(): Bound to address: 127.0.0.1:",
        "\tNetConnection::NetConnection(): Could not bind to address: 127.0.0.1:",
        "\tQelNetwork::~QelNetwork(): Cleaning up...\r\n",
        "\tQelNetwork::~QelNetwork(): Done.\r\n",
    };
    size_t at = 0;
    for (const char* line : expected) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << "\n" << log;
        at = found;
    }
    EXPECT_NE(log.find(" (WSAEADDRINUSE).\r\n"), std::string::npos);
    EXPECT_NE(log.find("\tNetConnection::NetConnection(): Done.\r\n"), std::string::npos);
}
