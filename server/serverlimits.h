// The limits that keep one client from freezing or filling the server; each
// is a command-line option of halvorn-server (see main.cpp and the README).
#pragma once

#include "attemptlimiter.h"
#include "passwordhash.h"

#include <QtGlobal>

namespace Halvorn {

struct ServerLimits
{
    // Connections.
    int idleTimeoutMs = 120000;         // without a complete packet
    int signInTimeoutMs = 10000;        // from connecting to signing in
    int greetingPauseMs = 500;          // the greeting travels alone before the sign-in request
    // On a port that serves TLS and plain clients: how long a client that
    // sends nothing is waited for before it counts as a plain client (a TLS
    // client sends its first bytes at once; a plain one waits for the
    // greeting). Where only TLS is served, a silent client waits until the
    // sign-in deadline.
    int tlsFirstByteWaitMs = 500;
    qint64 maxUnsignedPacket = 64 * 1024;  // unfinished packet before signing in
    qint64 maxOutputPerConnection = 64 * 1024 * 1024;
    qint64 maxOutputTotal = 128 * 1024 * 1024;  // over it the slowest readers are dropped
    int maxConnections = 10000;
    int listenBacklog = 128;

    // Passwords.
    int hashIterations = PasswordHash::kDefaultIterations;
    int hashThreads = 0;  // 0: one per processor
    AttemptLimiter::Settings signInAttempts;
    AttemptLimiter::Settings projectAttempts;
    int accountsPerAddressPerHour = 10;  // 0: no limit
};

// Descriptors kept free below the limit for the database, the log and the
// address service: the listener pauses before the rest are used up.
constexpr int kDescriptorReserve = 64;
// Clients refuse server ports above this; --port 0 picks one below it.
constexpr quint16 kHighestClientPort = 32000;

} // namespace Halvorn
