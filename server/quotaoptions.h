// The quotas as command-line options: --max-rooms-per-user N and the rest.
#pragma once

#include "serverquotas.h"

#include <QCommandLineOption>
#include <QList>

class QCommandLineParser;

namespace Halvorn {

class QuotaOptions
{
public:
    QuotaOptions();
    void addTo(QCommandLineParser &parser) const;
    // The quotas given (defaults for the others); false with `error` set
    // when a value is no whole number or the quotas could not be kept.
    [[nodiscard]] bool read(const QCommandLineParser &parser, ServerQuotas &quotas, QString *error) const;

private:
    struct Option
    {
        QCommandLineOption option;
        qint64 ServerQuotas::*wide = nullptr;
        int ServerQuotas::*narrow = nullptr;
    };
    QList<Option> mOptions;
};

} // namespace Halvorn
