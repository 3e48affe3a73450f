#pragma once

#include <gtest/gtest.h>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"

// A fixture that gives each test a fresh manual clock at 0 and an empty run loop
// and notification centre.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        NSRunLoop::mainRunLoop()->setClock(_clock);
        NSNotificationCenter::defaultCenter()->reset();
    }
    void TearDown() override {
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
    }
    void advance(double seconds) { NSRunLoop::mainRunLoop()->advance(seconds); }
    double now() const { return NSRunLoop::mainRunLoop()->now(); }

    std::shared_ptr<ManualClock> _clock = std::make_shared<ManualClock>();
};
