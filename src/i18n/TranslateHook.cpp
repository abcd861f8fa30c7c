#include "i18n/TranslateHook.h"

namespace quorvex {

TranslateFunction TranslateHook;

}  // namespace quorvex
