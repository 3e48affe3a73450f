#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/NSBundle.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSRunLoop.h"
#include "Foundation/NSRuntime.h"
#include "support/TemporaryDirectory.h"

// Captures NSLog messages (without the date and process prefix) while it lives.
class LogCapture {
public:
    LogCapture() {
        NSLogSetSink([this](const std::string& message) { _messages.push_back(message); });
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    ~LogCapture() { NSLogSetSink(nullptr); }
    const std::vector<std::string>& messages() const { return _messages; }

private:
    std::vector<std::string> _messages;
};

// Registers a class for the lifetime of the object, then puts back whatever was
// registered under that name before (or nothing).
class ScopedClass {
public:
    explicit ScopedClass(ObjCClass description)
        : _name(description.name), _previous(NSClassFromString(_name)) {
        objc_registerClass(std::move(description));
    }
    ScopedClass(const ScopedClass&) = delete;
    ScopedClass& operator=(const ScopedClass&) = delete;
    ~ScopedClass() {
        if (_previous) {
            objc_registerClass(std::move(_previous));
        } else {
            objc_unregisterClass(_name);
        }
    }

private:
    std::string _name;
    Class _previous;
};

// A fixture that gives each test a fresh manual clock at 0, an empty run loop and
// notification centre, a temporary device root, and the default bundle settings.
// Classes registered at load time stay registered; tests add their own through
// ScopedClass.
class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        NSRunLoop::mainRunLoop()->setClock(_clock);
        NSNotificationCenter::defaultCenter()->reset();
        NSSetDeviceRoot(_deviceRoot.path());
        NSBundle::setBundlePathOverride("");
        NSBundle::setPreferredImageScale(1);
    }
    void TearDown() override {
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
        NSLogSetSink(nullptr);
        NSDate::setClock(nullptr);
        NSBundle::setBundlePathOverride("");
        NSBundle::setPreferredImageScale(1);
        NSSetDeviceRoot("");
    }
    void advance(double seconds) { NSRunLoop::mainRunLoop()->advance(seconds); }
    double now() const { return NSRunLoop::mainRunLoop()->now(); }
    // The device root of this test.
    const TemporaryDirectory& deviceRoot() const { return _deviceRoot; }

    std::shared_ptr<ManualClock> _clock = std::make_shared<ManualClock>();
    TemporaryDirectory _deviceRoot;
};
