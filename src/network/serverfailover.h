// Which of the service's servers the session talks to, and what follows when
// a connection ends. At a sign-in the servers of the address file are tried
// in order: one that refuses, or has not connected within kConnectTimeoutMs
// (or answered the sign-in within kSignInTimeoutMs), gives way to the next
// at once; when all have failed the sign-in fails. Once signed in, a
// connection that ends without the user asking is made again to the next
// server of the list (round, so a single server is tried again), after a
// delay that doubles from kFirstRetryDelayMs up to kMaxRetryDelayMs, at most
// kMaxReconnectAttempts times. A refused sign-in, the user's disconnect and
// giving up end the session (stop()). The project the session was in is
// kept with its password, to be rejoined once signed in again.
#pragma once

#include "addresslookup.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace Quorvant::Network {

class TServerFailover : public QObject
{
    Q_OBJECT
public:
    static constexpr int kFirstRetryDelayMs = 500;
    static constexpr int kMaxRetryDelayMs = 8000;
    // Each delay is lengthened by up to this share, at random, so that the
    // clients of a server that failed do not all reach the next at once.
    static constexpr int kRetryJitterPercent = 20;
    static constexpr int kMaxReconnectAttempts = 12;
    static constexpr int kConnectTimeoutMs = 5000;
    static constexpr int kSignInTimeoutMs = 30000;

    enum class Phase {
        Idle,          // no session, or it ended
        SigningIn,     // the first sign-in, through the list in order
        SignedIn,
        Reconnecting,  // the connection was lost; attempts follow
    };
    enum class Next {
        GiveUp,        // no further attempt: the session has ended
        NextServer,    // the sign-in goes on with the next server at once
        Reconnect,     // a reconnection attempt follows after retryDelayMs()
    };

    explicit TServerFailover(QObject *parent = nullptr);

    // A new sign-in to `servers`, the first tried first.
    void begin(QList<TServerRoute> servers);
    // No further attempts; the kept project is forgotten.
    void stop();

    Phase phase() const { return mPhase; }
    bool hasServer() const { return !mServers.isEmpty(); }
    // The server attempted now (hasServer() only).
    const TServerRoute &current() const { return mServers.at(mIndex); }
    // The reconnection attempt under way or waited for, from 1.
    int reconnectAttempt() const { return mAttempts; }
    int retryDelayMs() const { return mRetryDelayMs; }

    // A connection attempt to current() starts: it must connect within
    // kConnectTimeoutMs, or attemptTimedOut() follows.
    void attemptStarted();
    // At attemptTimedOut(): the attempt's connection is up but not signed
    // in. True the first time: its sign-in is waited for up to
    // kSignInTimeoutMs more.
    [[nodiscard]] bool waitForSignIn();
    void signedIn();
    // The connection to current() ended, not by the user's wish nor by a
    // refused sign-in: what follows. The next attempt is announced by
    // attemptDue().
    Next connectionEnded();

    // The project a sign-in should rejoin, and the password it was last
    // joined or created with (kept in memory only, for this session).
    void notePassword(const QString &project, const QString &password);
    void keepProject(const QString &project) { mProject = project; }
    QString keptProject() const { return mProject; }
    QString passwordOf(const QString &project) const;

    // For tests: shorter delays and waits.
    void setRetryDelays(int firstMs, int maxMs);
    void setAttemptTimeouts(int connectMs, int signInMs);

signals:
    // Time for the next attempt, to current().
    void attemptDue();
    void attemptTimedOut();

private:
    void schedule(int delayMs);
    int delayFor(int attempt) const;

    QList<TServerRoute> mServers;
    qsizetype mIndex = 0;
    qsizetype mTried = 0;  // servers tried in this sign-in
    Phase mPhase = Phase::Idle;
    int mAttempts = 0;
    int mRetryDelayMs = 0;
    int mFirstDelayMs = kFirstRetryDelayMs;
    int mMaxDelayMs = kMaxRetryDelayMs;
    int mConnectTimeoutMs = kConnectTimeoutMs;
    int mSignInTimeoutMs = kSignInTimeoutMs;
    bool mWaitingForSignIn = false;
    QTimer mRetry;
    QTimer mAttemptTimer;
    QString mProject;
    QString mPasswordProject;
    QString mPassword;
};

} // namespace Quorvant::Network
