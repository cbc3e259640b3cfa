#include "platform/ui/DialogService.h"

#include "platform/ui/MessageBoxDialogService.h"

namespace platform {

namespace {

DialogService *installed = nullptr;

} // namespace

DialogService::~DialogService() = default;

DialogService &DialogService::instance()
{
    if (installed)
        return *installed;
    static MessageBoxDialogService messageBoxes;
    return messageBoxes;
}

DialogService *DialogService::setInstance(DialogService *service)
{
    DialogService *previous = installed;
    installed = service;
    return previous;
}

} // namespace platform
