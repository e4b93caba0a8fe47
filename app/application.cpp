#include "app/application.h"

#include "app/form1.h"
#include "app/windows.h"

namespace app {

void start()
{
    show(form1());
}

} // namespace app
