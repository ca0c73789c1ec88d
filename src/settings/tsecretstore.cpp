#include "tsecretstore.h"

#include "isecretstore.h"
#include "moduleloader.h"

#include <QTimer>

#include <memory>

namespace Quorvant {

namespace {

int &answerTimeout()
{
    static int milliseconds = TSecretStore::kAnswerTimeoutMs;
    return milliseconds;
}

bool &anyLoaded()
{
    static bool loaded = false;
    return loaded;
}

ISecretStore *loadStore(QString *error)
{
    auto *store = qobject_cast<ISecretStore *>(TModuleLoader::load(
        TSecretStore::candidates(), [](QObject *o) { return qobject_cast<ISecretStore *>(o) != nullptr; },
        QStringLiteral("not the secret store module"), error));
    if (store)
        anyLoaded() = true;
    return store;
}

SecretStoreReply failure(const QString &error)
{
    SecretStoreReply reply;
    reply.error = error;
    return reply;
}

// Runs one request of the store and hands its reply, or a failure once the
// wait is over, to done: once, and never before this returns.
void ask(const std::function<void(ISecretStore &, ISecretStore::Done)> &request, ISecretStore::Done done)
{
    QString error;
    ISecretStore *store = loadStore(&error);
    if (!store) {
        QTimer::singleShot(0, [done = std::move(done), error] {
            done(failure(QStringLiteral("the secret store module could not be loaded: %1").arg(error)));
        });
        return;
    }
    auto settled = std::make_shared<bool>(false);
    auto *timer = new QTimer;
    timer->setSingleShot(true);
    auto finish = [settled, timer, done = std::move(done)](const SecretStoreReply &reply) {
        if (*settled)
            return;  // an answer after the wait is over is dropped
        *settled = true;
        timer->stop();
        timer->deleteLater();
        done(reply);
    };
    const int wait = answerTimeout();
    QObject::connect(timer, &QTimer::timeout, timer, [finish, wait] {
        finish(failure(QStringLiteral("no answer within %1 ms").arg(wait)));
    });
    timer->start(wait);
    // Queued, so that even a store that answered at once does so after
    // this returns.
    QTimer::singleShot(0, timer, [request, store, finish] { request(*store, finish); });
}

TSecretStore::Outcome outcomeOf(const SecretStoreReply &reply)
{
    TSecretStore::Outcome outcome;
    outcome.ok = reply.status != SecretStoreReply::Status::Failed;
    outcome.password = reply.secret;
    outcome.problem = reply.error;
    return outcome;
}

} // namespace

QStringList TSecretStore::candidates()
{
    return TModuleLoader::candidates("QUORVANT_SECRET_STORE_MODULE", QStringLiteral(QUORVANT_SECRET_STORE_MODULE_NAME),
                                     QStringLiteral(QUORVANT_SECRET_STORE_MODULE_LIBDIR),
                                     QStringLiteral(QUORVANT_SECRET_STORE_MODULE_INSTALLED),
                                     QStringLiteral(QUORVANT_SECRET_STORE_MODULE_BUILT));
}

bool TSecretStore::loaded()
{
    return anyLoaded();
}

void TSecretStore::setAnswerTimeout(int milliseconds)
{
    answerTimeout() = milliseconds > 0 ? milliseconds : kAnswerTimeoutMs;
}

void TSecretStore::readPassword(const QString &userName, Done done)
{
    ask([userName](ISecretStore &store, ISecretStore::Done reply) { store.read(serviceName(), userName, reply); },
        [done = std::move(done)](const SecretStoreReply &reply) { done(outcomeOf(reply)); });
}

void TSecretStore::writeConfirmed(const QString &userName, const QString &password, Done done)
{
    ask([userName, password](ISecretStore &store, ISecretStore::Done reply) {
            store.write(serviceName(), userName, password, reply);
        },
        [userName, password, done = std::move(done)](const SecretStoreReply &written) {
            if (written.status != SecretStoreReply::Status::Ok) {
                done(outcomeOf(written));
                return;
            }
            readPassword(userName, [password, done](const Outcome &readBack) {
                Outcome outcome = readBack;
                if (readBack.ok && readBack.password != password) {
                    outcome.ok = false;
                    outcome.problem = QStringLiteral("the store did not give back the password written to it");
                }
                outcome.password.clear();
                done(outcome);
            });
        });
}

} // namespace Quorvant
