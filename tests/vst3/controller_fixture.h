// A fresh, initialized edit controller from the loaded module, released after each test.
#pragma once

#include <gtest/gtest.h>

#include "plugin_host.h"

class ControllerFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(nullptr, velumModule());
        c = newController();
        ASSERT_NE(nullptr, c);
        ASSERT_EQ(kResultOk, c->vtbl->base.initialize(c, hostContext()));
    }
    // A test that released the controller itself sets c to null.
    void TearDown() override {
        if (c) {
            EXPECT_EQ(0u, releaseRef(c));
        }
    }

    IEditController* c = nullptr;
};
