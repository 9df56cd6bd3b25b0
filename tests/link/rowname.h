#pragma once
// Names parameterised test rows after their name field.

#include <gtest/gtest.h>

#include <string>

namespace softswitch::testing {

struct RowName {
    template <class Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

} // namespace softswitch::testing
