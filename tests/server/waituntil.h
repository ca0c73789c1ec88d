// Runs the event loop until `done` holds or `ms` have passed; unlike
// QTest::qWaitFor it never sleeps, so a transfer paced by the socket's
// notifications is not slowed.
#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

template <typename F>
bool waitUntil(F done, int ms = 5000)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QDeadlineTimer deadline(ms);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    return done();
}
