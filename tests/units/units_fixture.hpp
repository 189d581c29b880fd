#pragma once
// Gives each test its own user-unit list and collects the messages it shows.
#include <gtest/gtest.h>

#include <vector>

#include "data/messages.hpp"
#include "units/unit_display.hpp"
#include "units/user_units.hpp"

namespace tarvik::test {

class UnitsTest : public ::testing::Test {
protected:
    UnitsTest() : saved_(UserUnits()), sink_([this](const Message& m) { shown.push_back(m.number); }) {
        UserUnits().clear();
    }
    ~UnitsTest() override {
        UserUnits() = saved_;
        RebuildUnitDisplayTexts();
    }
    void AddUnit(const std::string& name, int quantity, double factor, double offset = 0) {
        UnitDef u;
        u.name = name;
        u.quantity = quantity;
        u.factor = factor;
        u.offset = offset;
        u.number = static_cast<int>(UserUnits().size()) + 1;
        UserUnits().push_back(u);
    }

    std::vector<int> shown;

private:
    std::vector<UnitDef> saved_;
    ScopedMessageSink sink_;
};

}  // namespace tarvik::test
