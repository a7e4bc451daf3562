// The objects whose file operations run on the calling thread, innermost last.
//
// The engine's file callbacks carry no context, so they find their object on
// top of this stack. Each thread has its own stack, made on first use.
#pragma once

#include <patternkit/RegularExpression.h>

namespace patternkit {

struct ActiveObject {
    RegularExpression* object;
    RegularExpression::State* state;
};

// Pushes an object for its lifetime; pops it however the scope is left.
class ActiveObjectScope {
public:
    ActiveObjectScope(RegularExpression* object, RegularExpression::State* state);
    ~ActiveObjectScope();
    ActiveObjectScope(const ActiveObjectScope&) = delete;
    ActiveObjectScope& operator=(const ActiveObjectScope&) = delete;
};

// The innermost active object of the calling thread; only valid inside a scope.
const ActiveObject& TopActiveObject();

}  // namespace patternkit
