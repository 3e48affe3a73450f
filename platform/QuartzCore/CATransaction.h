#pragma once

#include <string_view>

#include "Foundation/NSObject.h"

// The transaction key whose YES value turns off the animation of layer changes.
inline constexpr std::string_view kCATransactionDisableActions = "disableActions";

// Groups layer changes. Transactions nest; a value set in one is seen by the
// transactions it encloses. A value set while no transaction is open goes into an
// implicit transaction that ends with the current run-loop pass.
//
// Layer changes are never animated implicitly on this platform, so commit has
// nothing left to animate: model values apply at once. What a transaction
// changes is whether a UIView animation block animates the layer changes made
// inside it: with kCATransactionDisableActions YES it does not.
class CATransaction : public NSObject {
public:
    static void begin();
    // Ends the innermost transaction begun with begin. A commit without a begin is
    // a programming error.
    static void commit();
    // Ends the implicit transaction now.
    static void flush();

    // The value of `key` in the innermost transaction that has one, or nil.
    static Ptr<NSObject> valueForKey(std::string_view key);
    // Sets `key` in the innermost transaction; nil removes it.
    static void setValue(const Ptr<NSObject>& value, std::string_view key);

    // kCATransactionDisableActions read as a boolean.
    static BOOL disableActions();
    static void setDisableActions(BOOL disable);
};
