#include "app/ProcessWide.h"

namespace zentor {

TReceiverLink& receiverLink()
{
    static TReceiverLink link;
    return link;
}

Selections& selections()
{
    static Selections chosen;
    return chosen;
}

Workers& workers()
{
    static Workers running;
    return running;
}

} // namespace zentor
