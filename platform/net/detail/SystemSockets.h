#pragma once
// The system's socket and resolver declarations (addresses, inet_addr,
// getaddrinfo, getnameinfo), for the platform's own code that both systems
// share.
#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#endif
