#include "params/Hooks.h"

namespace quorvex {

EnqueueFunction EnqueueHook;
MessageFunction MessageHook;

}  // namespace quorvex
