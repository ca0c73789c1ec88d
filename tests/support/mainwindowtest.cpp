#include "mainwindowtest.h"

#include "appglobals.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "settingsglobals.h"
#include "setuptools.h"
#include "subsystems.h"
#include "tmemosource.h"

namespace Quorvant::Test {

std::unique_ptr<TForm1> openMainWindow(std::unique_ptr<TSetupTools> *settings, QSize size)
{
    MessageService::setTestHookEnabled(true);
    MessageService::resetTestHook();
    if (settings) {
        *settings = std::make_unique<TSetupTools>();
        gSetupTools = settings->get();
    }
    auto window = std::make_unique<TForm1>();
    installSubsystems(*window);
    if (size.isValid())
        window->resize(size);
    window->show();
    return window;
}

void closeMainWindow(std::unique_ptr<TForm1> &window, std::unique_ptr<TSetupTools> *settings)
{
    for (TMemoSource *b : std::as_const(gMemoData))
        b->setModified(false);
    window.reset();
    if (settings) {
        gSetupTools = nullptr;
        settings->reset();
    }
    MessageService::resetTestHook();
}

} // namespace Quorvant::Test
