#include "data/LaunchContext.h"

LaunchContext &launchContext()
{
    static LaunchContext context;
    return context;
}
