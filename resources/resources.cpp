#include "resources/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitAll()
{
    Q_INIT_RESOURCE(icons);
#ifdef AMBIENCE_HAVE_BUILTIN_PICTURE
    Q_INIT_RESOURCE(builtin);
#endif
}

namespace ambience {

void InitResources()
{
    static const bool done = (InitAll(), true);
    (void)done;
}

} // namespace ambience
