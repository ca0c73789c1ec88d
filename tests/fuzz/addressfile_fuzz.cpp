// The address file the address service sends ("AddressInfo.Dat"): the
// address and port read from it, when the program accepts them, are ones
// the socket layer takes as an address literal, so no name lookup decides
// where the password goes.
#include "fuzzsupport.h"

#include "addresslookup.h"
#include "networkcommands.h"
#include "networkglobals.h"
#include "taddressliteral.h"

#include <QHostAddress>

using namespace Quorvant;
using namespace Quorvant::Network;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::inputBytes(data, size);
    const QString path = Fuzz::writeScratchFile(QStringLiteral("AddressInfo.Dat"), bytes);
    gHalvornIPAddress.clear();
    gHalvornPort.clear();
    if (!TNetworkCommands::GetIpAndPort(path))
        return 0;
    FUZZ_CHECK(!gHalvornIPAddress.contains(u'\n') && !gHalvornPort.contains(u'\n'));
    if (!TAddressLookup::validServerAddress(gHalvornIPAddress, gHalvornPort))
        return 0;
    FUZZ_CHECK(!QHostAddress(gHalvornIPAddress.trimmed()).isNull());
    const int port = gHalvornPort.toInt();
    FUZZ_CHECK(port >= 1 && port <= 65535);
    return 0;
}
