#include "app/Selections.h"

namespace zentor {

Selections selectionsFromChoices(int portChoice, int navChoice)
{
    Selections s;
    if (portChoice == kPortChoiceUsb) {
        s.link.transport = LinkSelection::kUsb;
        s.link.portNumber = 0;
    } else {
        s.link.transport = LinkSelection::kRs232;
        s.link.portNumber = static_cast<std::uint16_t>(portChoice + 1);
    }
    s.navigationMode = navChoice == kNavChoiceInstrumentGps ? Selections::kInstrumentGps
                                                            : Selections::kTravelPilot;
    return s;
}

} // namespace zentor
