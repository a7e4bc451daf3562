#include "ActiveObjectStack.h"

#include <vector>

namespace patternkit {
namespace {

std::vector<ActiveObject>& Stack()
{
    thread_local std::vector<ActiveObject> stack;
    return stack;
}

}  // namespace

ActiveObjectScope::ActiveObjectScope(RegularExpression* object, RegularExpression::State* state)
{
    Stack().push_back({object, state});
}

ActiveObjectScope::~ActiveObjectScope()
{
    Stack().pop_back();
}

const ActiveObject& TopActiveObject()
{
    return Stack().back();
}

}  // namespace patternkit
