// See empty_order_late.cpp.
#pragma once

bool lateUserSawEmpty();
