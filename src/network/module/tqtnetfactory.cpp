#include "tqtnetfactory.h"

#include "tqthttpget.h"
#include "tqtstreamsocket.h"

namespace Quorvant::Network {

std::unique_ptr<INetStreamSocket> TQtNetFactory::createStreamSocket()
{
    return std::make_unique<TQtStreamSocket>();
}

std::unique_ptr<INetHttpGet> TQtNetFactory::createHttpGet()
{
    return std::make_unique<TQtHttpGet>();
}

} // namespace Quorvant::Network
