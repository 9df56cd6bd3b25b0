// A library of the right name that lacks the sendx entry point.

#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::int32_t sendy(std::int32_t value)
{
    return value;
}
