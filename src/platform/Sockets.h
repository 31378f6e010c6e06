#pragma once
// Datagram sockets and host look-up, shaped after the Winsock calls the engine makes. Addresses
// are 16-byte IPv4 socket addresses (family, port and address in network order, eight zeros).
// A failing call returns false or -1 and leaves its Winsock error number (WSAE...) for
// lastSocketError().

#include <cstdint>
#include <string>

namespace platform {

constexpr int WSAEWOULDBLOCK = 10035;

// The Winsock error number of the last failed call on this thread.
int lastSocketError();
// The Winsock error number that stands for a POSIX errno value.
int socketErrorFromErrno(int error);

// A UDP socket (AF_INET, SOCK_DGRAM), or -1.
int openUdpSocket();
bool setNonBlocking(int socket);
bool setReceiveBufferSize(int socket, int bytes);
bool setBroadcast(int socket, bool allow);
bool bindSocket(int socket, const void* address16);
bool getSocketName(int socket, void* address16);
// Bytes sent, or -1.
int sendDatagram(int socket, const void* data, int length, const void* address16);
// Bytes of the datagram received (cut to capacity), or -1; WSAEWOULDBLOCK when none is waiting.
int receiveDatagram(int socket, void* data, int capacity, void* address16);
void closeSocket(int socket);

// The first IPv4 address of a host name or dotted address, in network order.
bool resolveHostIPv4(const std::string& host, uint32_t& addressNetworkOrder);
// How many look-ups resolveHostIPv4 has started in this process (tests check that none happen).
int hostLookupCount();

}  // namespace platform
