#include "tkeychainstore.h"

#include <qt6keychain/keychain.h>

namespace Quorvant {

namespace {

SecretStoreReply replyOf(const QKeychain::Job &job)
{
    SecretStoreReply reply;
    switch (job.error()) {
    case QKeychain::NoError:
        reply.status = SecretStoreReply::Status::Ok;
        break;
    case QKeychain::EntryNotFound:
        reply.status = SecretStoreReply::Status::NotFound;
        break;
    default:
        reply.status = SecretStoreReply::Status::Failed;
        reply.error = job.errorString();
        break;
    }
    return reply;
}

// Starts job for key; once it is over, finished gets it and the job frees
// itself. QtKeychain's own plain-text fallback stays off: the program keeps
// its own (Halvorn.INI, made private).
void run(QKeychain::Job *job, const QString &key, std::function<void(QKeychain::Job &)> finished)
{
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, job,
                     [finished = std::move(finished)](QKeychain::Job *done) { finished(*done); });
    job->start();
}

} // namespace

void TKeychainStore::read(const QString &service, const QString &key, Done done)
{
    auto *job = new QKeychain::ReadPasswordJob(service);
    run(job, key, [job, done = std::move(done)](QKeychain::Job &finished) {
        SecretStoreReply reply = replyOf(finished);
        if (reply.status == SecretStoreReply::Status::Ok)
            reply.secret = job->textData();
        done(reply);
    });
}

void TKeychainStore::write(const QString &service, const QString &key, const QString &secret, Done done)
{
    auto *job = new QKeychain::WritePasswordJob(service);
    job->setTextData(secret);
    run(job, key, [done = std::move(done)](QKeychain::Job &finished) { done(replyOf(finished)); });
}

} // namespace Quorvant
