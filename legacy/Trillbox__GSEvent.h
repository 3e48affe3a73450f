#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UITouch.h"

// The hardware-event record that the platform's touches event is built around:
// 128 bytes of little-endian 32-bit fields at fixed offsets, used as raw memory.
// A new record is all zeros; the word at offset 0 (a class reference on the
// devices that defined the format) stays 0 and nothing reads it.
struct Trillbox__GSEvent {
    std::uint32_t classReference = 0;
    std::uint32_t flags = 0;
    std::uint32_t type = 0;
    std::uint32_t ignored1 = 0;
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
    std::uint32_t ignored2[10] = {};
    std::uint32_t ignored3[7] = {};
    float sizeX = 0;
    float sizeY = 0;
    float x3 = 0;
    float y3 = 0;
    std::uint32_t ignored4[3] = {};

    // The record's type for a touch event.
    static constexpr std::uint32_t kTouchEventType = 3001;
    // `flags` of a record whose touch has ended, and of one in any other phase.
    static constexpr std::uint32_t kTouchEndedFlags = 0x01010180;
    static constexpr std::uint32_t kTouchDownFlags = 0x03010180;

    // Writes `location` (window coordinates, narrowed to single precision) into
    // all three location pairs, and a contact size of 1 by 1.
    void setLocation(CGPoint location);
    // Sets `flags` for a touch in `phase` and `type` for a touch event.
    void setTouchPhase(UITouchPhase phase);
};

// The platform reads the record byte by byte: the layout is fixed.
static_assert(std::is_standard_layout_v<Trillbox__GSEvent>);
static_assert(std::endian::native == std::endian::little, "the record's fields are little-endian");
static_assert(sizeof(float) == 4);
static_assert(sizeof(Trillbox__GSEvent) == 128);
static_assert(offsetof(Trillbox__GSEvent, classReference) == 0);
static_assert(offsetof(Trillbox__GSEvent, flags) == 4);
static_assert(offsetof(Trillbox__GSEvent, type) == 8);
static_assert(offsetof(Trillbox__GSEvent, ignored1) == 12);
static_assert(offsetof(Trillbox__GSEvent, x1) == 16);
static_assert(offsetof(Trillbox__GSEvent, y1) == 20);
static_assert(offsetof(Trillbox__GSEvent, x2) == 24);
static_assert(offsetof(Trillbox__GSEvent, y2) == 28);
static_assert(offsetof(Trillbox__GSEvent, ignored2) == 32);
static_assert(offsetof(Trillbox__GSEvent, ignored3) == 72);
static_assert(offsetof(Trillbox__GSEvent, sizeX) == 100);
static_assert(offsetof(Trillbox__GSEvent, sizeY) == 104);
static_assert(offsetof(Trillbox__GSEvent, x3) == 108);
static_assert(offsetof(Trillbox__GSEvent, y3) == 112);
static_assert(offsetof(Trillbox__GSEvent, ignored4) == 116);
