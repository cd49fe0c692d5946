#include "app/common/windows.h"

namespace platterly::app {

Windows& windows()
{
    static Windows instance;
    return instance;
}

} // namespace platterly::app
