#pragma once

// The collection classes: arrays, sets and dictionaries.
#include "Foundation/NSArray.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSSet.h"
