#include "platform/ComPortName.h"

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
            ::setenv(name_.c_str(), value, 1);
        else
            ::unsetenv(name_.c_str());
    }
    ~ScopedEnvironment()
    {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

TEST(ComPortName, DefaultsToTheLinuxSerialDevices)
{
    const ScopedEnvironment com1("ZENTOR_COM1", nullptr);
    const ScopedEnvironment com4("ZENTOR_COM4", nullptr);
    const ScopedEnvironment com9("ZENTOR_COM9", nullptr);
    const ScopedEnvironment com12("ZENTOR_COM12", nullptr);
    EXPECT_EQ(comPortDevice(1), "/dev/ttyS0");
    EXPECT_EQ(comPortDevice(4), "/dev/ttyS3");
    EXPECT_EQ(comPortDevice(9), "/dev/ttyS8");
    EXPECT_EQ(comPortDevice(12), "/dev/ttyS11");
}

TEST(ComPortName, EnvironmentMapsOnePort)
{
    const ScopedEnvironment com1("ZENTOR_COM1", "/dev/pts/7");
    const ScopedEnvironment com2("ZENTOR_COM2", nullptr);
    const ScopedEnvironment com3("ZENTOR_COM3", "");
    const ScopedEnvironment com12("ZENTOR_COM12", "/tmp/nav-unit");
    EXPECT_EQ(comPortDevice(1), "/dev/pts/7");
    EXPECT_EQ(comPortDevice(2), "/dev/ttyS1");
    EXPECT_EQ(comPortDevice(3), "/dev/ttyS2") << "an empty value maps nothing";
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
