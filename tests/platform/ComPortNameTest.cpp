#include "platform/ComPortName.h"

#include "support/Environment.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zentor {
namespace {

// Sets or removes one environment variable for the life of the object, then restores it.
class ScopedEnvironment
{
public:
    ScopedEnvironment(std::string name, const char* value) : name_(std::move(name))
    {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        if (value)
            test::setEnv(name_, value);
        else
            test::unsetEnv(name_);
    }
    ~ScopedEnvironment()
    {
        if (old_)
            test::setEnv(name_, *old_);
        else
            test::unsetEnv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// The system's own name of COMn: the nth serial device on Linux, the device path that also
// reaches ports above COM9 on Windows.
#ifdef _WIN32
const char* const kSystemPorts[] = {
    "", "\\\\.\\COM1", "\\\\.\\COM2", "\\\\.\\COM3", "\\\\.\\COM4", "\\\\.\\COM9", "\\\\.\\COM12"};
#else
const char* const kSystemPorts[] = {"",           "/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2",
                                    "/dev/ttyS3", "/dev/ttyS8", "/dev/ttyS11"};
#endif
enum SystemPort
{
    Com1 = 1,
    Com2,
    Com3,
    Com4,
    Com9,
    Com12
};

TEST(ComPortName, DefaultsToTheSystemsSerialDevices)
{
    const ScopedEnvironment com1("ZENTOR_COM1", nullptr);
    const ScopedEnvironment com4("ZENTOR_COM4", nullptr);
    const ScopedEnvironment com9("ZENTOR_COM9", nullptr);
    const ScopedEnvironment com12("ZENTOR_COM12", nullptr);
    EXPECT_EQ(comPortDevice(1), kSystemPorts[Com1]);
    EXPECT_EQ(comPortDevice(4), kSystemPorts[Com4]);
    EXPECT_EQ(comPortDevice(9), kSystemPorts[Com9]);
    EXPECT_EQ(comPortDevice(12), kSystemPorts[Com12]);
}

TEST(ComPortName, EnvironmentMapsOnePort)
{
    const ScopedEnvironment com1("ZENTOR_COM1", "/dev/pts/7");
    const ScopedEnvironment com2("ZENTOR_COM2", nullptr);
    const ScopedEnvironment com3("ZENTOR_COM3", "");
    const ScopedEnvironment com12("ZENTOR_COM12", "/tmp/nav-unit");
    EXPECT_EQ(comPortDevice(1), "/dev/pts/7");
    EXPECT_EQ(comPortDevice(2), kSystemPorts[Com2]);
    EXPECT_EQ(comPortDevice(3), kSystemPorts[Com3]) << "an empty value maps nothing";
    EXPECT_EQ(comPortDevice(12), "/tmp/nav-unit");
}

TEST(ComPortName, NumbersBelowOneNameNoDevice)
{
    const ScopedEnvironment com0("ZENTOR_COM0", "/dev/pts/3");
    const ScopedEnvironment comMinus1("ZENTOR_COM-1", "/dev/pts/4");
    EXPECT_EQ(comPortDevice(0), "");
    EXPECT_EQ(comPortDevice(-1), "");
}

} // namespace
} // namespace zentor
