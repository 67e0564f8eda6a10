#include "ranking/file_store.h"

namespace yut {
namespace {

LockWaitCheck g_check = nullptr;

}  // namespace

void set_lock_wait_check(LockWaitCheck check) {
  g_check = check;
}

bool run_lock_wait_check() {
  return g_check != nullptr && g_check();
}

}  // namespace yut
