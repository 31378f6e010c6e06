#include "engine/NetConnection.h"

#include <algorithm>
#include <cstring>

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/NetDatagram.h"
#include "engine/Qel.h"
#include "engine/QelNetwork.h"
#include "engine/Utilities.h"
#include "platform/Sockets.h"
#include "platform/System.h"

namespace {

// A socket set-up call that failed: the assertion report, with the Winsock error's name as its
// error text.
[[noreturn]] void socketSetupFailed(const char16_t* statement, int line) {
    ErrorManager::error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d",
                        QelNetwork::getWSAErrorString(platform::lastSocketError()), statement, u"NetConnection::NetConnection",
                        getFileName(utf8ToWide(__FILE__)), line);
}

double processClock() {
    static const uint32_t start = platform::millisecondClock();
    return static_cast<uint32_t>(platform::millisecondClock() - start) / 1000.0;
}

}  // namespace

NetConnection::NetConnection(const NetAddress& address, QelNetwork* network)
    : address(address), pNetwork(network ? network : (qel ? qel->pQelNetwork : nullptr)) {
    const char16_t* function = u"NetConnection::NetConnection";
    if (pNetwork && pNetwork->bEmulateLocalhost && address.isLoopback()) {
        bEmulated = true;
        this->address.setPort(pNetwork->nextEmulatedPort++);
        qelLog(function, u"Creating emulated localhost connection: %s.", this->address.toString());
    } else {
        wsaSocket = platform::openUdpSocket();
        if (wsaSocket < 0) socketSetupFailed(u"SOCKET_ERROR", __LINE__);
        if (!platform::setNonBlocking(wsaSocket)) socketSetupFailed(u"ioctlsocket(wsaSocket, FIONBIO, &nonBlocking)", __LINE__);
        if (!platform::setReceiveBufferSize(wsaSocket, receiveBufferSize))
            socketSetupFailed(u"setsockopt(wsaSocket, SOL_SOCKET, SO_RCVBUF, (char*)&receiveBufferSize, sizeof(int))", __LINE__);
        if (!platform::setBroadcast(wsaSocket, true))
            socketSetupFailed(u"setsockopt(wsaSocket, SOL_SOCKET, SO_BROADCAST, (char*)&allowBroadcasting, sizeof(int))", __LINE__);
        qelLog(function, u"Binding to address: %s.", this->address.toString());
        if (!platform::bindSocket(wsaSocket, this->address.getSockAddr())) {
            // Another program may hold the port: the caller learns it from isOpen() and bindError.
            bindError = platform::lastSocketError();
            qelLog(function, u"Could not bind to address: %s (%s).", this->address.toString(), QelNetwork::getWSAErrorString(bindError));
            platform::closeSocket(wsaSocket);
            wsaSocket = -1;
        } else {
            platform::getSocketName(wsaSocket, this->address.getSockAddr());
            qelLog(function, u"Bound to address: %s.", this->address.toString());
        }
    }
    qelLog(function, u"Done.");
}

NetConnection::~NetConnection() {
    if (bEmulated) {
        if (pNetwork) pNetwork->flushEmulatedPackets(address);
    } else {
        platform::closeSocket(wsaSocket);
    }
}

bool NetConnection::sendTo(const NetAddress& destination, const void* data, int length) {
    if (length < 0 || (length > 0 && !data)) return false;
    if (bEmulated) {
        if (!destination.isLoopback() || !pNetwork) return false;
        pNetwork->emulatedQueue.addChild(new NetDatagram(destination, address, data, length));
        return true;
    }
    if (wsaSocket < 0) return false;
    if (platform::sendDatagram(wsaSocket, data, length, destination.getSockAddr()) != length) {
        qelLog(u"NetConnection::sendTo", u"Could not send to %s (%s).", destination.toString(),
               QelNetwork::getWSAErrorString(platform::lastSocketError()));
        return false;
    }
    return true;
}

int NetConnection::receive(NetAddress& source, void* data, int capacity) {
    if (capacity < 0 || (capacity > 0 && !data)) return -1;
    if (bEmulated) {
        if (!pNetwork) return -1;
        for (BasicLink* link = pNetwork->emulatedQueue.firstChild; link; link = link->next) {
            auto* datagram = static_cast<NetDatagram*>(link);
            if (!(datagram->destination == address)) continue;
            const int length = std::min(capacity, static_cast<int>(datagram->bytes.size()));
            if (length > 0) std::memcpy(data, datagram->bytes.data(), static_cast<size_t>(length));
            source = datagram->source;
            datagram->release();
            return length;
        }
        return -1;
    }
    if (wsaSocket < 0) return -1;
    const int length = platform::receiveDatagram(wsaSocket, data, capacity, source.getSockAddr());
    if (length < 0 && platform::lastSocketError() != platform::WSAEWOULDBLOCK) {
        qelLog(u"NetConnection::receive", u"Could not receive (%s).", QelNetwork::getWSAErrorString(platform::lastSocketError()));
    }
    return length;
}

NetStatsBucket* NetConnection::getCurrentStatsBucket() { return getCurrentStatsBucket(timeSource ? timeSource() : processClock()); }

NetStatsBucket* NetConnection::getCurrentStatsBucket(double now) {
    auto* newest = static_cast<NetStatsBucket*>(statsHistory.lastChild);
    if (!newest) return static_cast<NetStatsBucket*>(statsHistory.addChild(new NetStatsBucket(now)));
    if (now <= newest->endTime) return newest;
    statsTotal.add(*newest);
    auto* bucket = new NetStatsBucket(newest->endTime);
    statsHistory.addChild(bucket);
    auto* oldest = static_cast<NetStatsBucket*>(statsHistory.firstChild);
    if (bucket->endTime - historyLength > oldest->startTime) oldest->release();
    return bucket;
}
