#include "serverfailover.h"

#include <QRandomGenerator>

#include <algorithm>

namespace Quorvant::Network {

TServerFailover::TServerFailover(QObject *parent)
    : QObject(parent)
{
    mRetry.setSingleShot(true);
    mAttemptTimer.setSingleShot(true);
    connect(&mRetry, &QTimer::timeout, this, &TServerFailover::attemptDue);
    connect(&mAttemptTimer, &QTimer::timeout, this, &TServerFailover::attemptTimedOut);
}

void TServerFailover::begin(QList<TServerRoute> servers)
{
    stop();
    mServers = std::move(servers);
    mIndex = 0;
    mTried = 1;
    mPhase = mServers.isEmpty() ? Phase::Idle : Phase::SigningIn;
}

void TServerFailover::stop()
{
    mRetry.stop();
    mAttemptTimer.stop();
    mPhase = Phase::Idle;
    mAttempts = 0;
    mProject.clear();
    mPasswordProject.clear();
    mPassword.clear();
}

void TServerFailover::attemptStarted()
{
    mWaitingForSignIn = false;
    mAttemptTimer.start(mConnectTimeoutMs);
}

bool TServerFailover::waitForSignIn()
{
    if (mWaitingForSignIn || mPhase == Phase::Idle)
        return false;
    mWaitingForSignIn = true;
    mAttemptTimer.start(mSignInTimeoutMs);
    return true;
}

void TServerFailover::signedIn()
{
    mRetry.stop();
    mAttemptTimer.stop();
    mPhase = Phase::SignedIn;
    mAttempts = 0;
}

TServerFailover::Next TServerFailover::connectionEnded()
{
    mAttemptTimer.stop();
    if (mServers.isEmpty()) {
        stop();
        return Next::GiveUp;
    }
    switch (mPhase) {
    case Phase::Idle:
        return Next::GiveUp;
    case Phase::SigningIn:
        if (mTried >= mServers.size()) {
            stop();
            return Next::GiveUp;
        }
        ++mTried;
        ++mIndex;
        schedule(0);
        return Next::NextServer;
    case Phase::SignedIn:
        mPhase = Phase::Reconnecting;
        mAttempts = 0;
        break;
    case Phase::Reconnecting:
        if (mAttempts >= kMaxReconnectAttempts) {
            stop();
            return Next::GiveUp;
        }
        break;
    }
    ++mAttempts;
    mIndex = (mIndex + 1) % mServers.size();
    schedule(delayFor(mAttempts));
    return Next::Reconnect;
}

int TServerFailover::delayFor(int attempt) const
{
    // Doubled for each attempt after the first, never past the cap.
    const int shift = std::min(attempt - 1, 20);
    const int base = int(std::min<qint64>(qint64(mFirstDelayMs) << shift, mMaxDelayMs));
    return base + int(QRandomGenerator::global()->bounded(base * kRetryJitterPercent / 100 + 1));
}

void TServerFailover::schedule(int delayMs)
{
    mRetryDelayMs = delayMs;
    mRetry.start(delayMs);
}

void TServerFailover::notePassword(const QString &project, const QString &password)
{
    mPasswordProject = project;
    mPassword = password;
}

QString TServerFailover::passwordOf(const QString &project) const
{
    return project.compare(mPasswordProject, Qt::CaseInsensitive) == 0 ? mPassword : QString();
}

void TServerFailover::setRetryDelays(int firstMs, int maxMs)
{
    mFirstDelayMs = firstMs;
    mMaxDelayMs = maxMs;
}

void TServerFailover::setAttemptTimeouts(int connectMs, int signInMs)
{
    mConnectTimeoutMs = connectMs;
    mSignInTimeoutMs = signInMs;
}

} // namespace Quorvant::Network
