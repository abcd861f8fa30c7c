#include "params/Hooks.h"

namespace quorvex {

EnqueueFunction EnqueueHook;
MessageFunction MessageHook;
TranslateFunction TranslateHook;

}  // namespace quorvex
