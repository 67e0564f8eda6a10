#pragma once
#include "console/console.h"

namespace yut {

int main_menu(Console& con);  // 1..4
int mode_menu(Console& con);  // 1..3
void show_rules(Console& con);

}  // namespace yut
