#include "app/Selections.h"

#include <gtest/gtest.h>

namespace zentor {
namespace {

TEST(Selections, UsbGivesTransportTwoAndPortZero)
{
    const Selections s = selectionsFromChoices(kPortChoiceUsb, 0);
    EXPECT_EQ(s.link.transport, 2);
    EXPECT_EQ(s.link.portNumber, 0);
}

TEST(Selections, ComPortsGiveTransportOneAndTheirNumber)
{
    for (int choice = 0; choice < kPortChoiceUsb; ++choice) {
        const Selections s = selectionsFromChoices(choice, 0);
        EXPECT_EQ(s.link.transport, 1) << "COM" << choice + 1;
        EXPECT_EQ(s.link.portNumber, choice + 1) << "COM" << choice + 1;
    }
}

TEST(Selections, AnyTravelPilotEntrySetsNavigationModeOne)
{
    EXPECT_EQ(selectionsFromChoices(0, 0).navigationMode, 0);
    for (int choice = 1; choice <= 9; ++choice) {
        EXPECT_EQ(selectionsFromChoices(0, choice).navigationMode, 1) << choice;
        EXPECT_EQ(travelPilotPort(choice), choice);
    }
}

} // namespace
} // namespace zentor
