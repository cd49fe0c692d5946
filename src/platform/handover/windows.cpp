#include "platform/handover/windows.h"

namespace platterly::handover {

Windows& windows()
{
    static Windows instance;
    return instance;
}

} // namespace platterly::handover
