#pragma once

#include "fbtools.h"

#include <memory>

class TForm1;
class TempMachine;

namespace fb {

/// The Basekeep3 window on machine, its services pointed at the real client library.
std::unique_ptr<TForm1> openWindow(const TempMachine& machine);

}  // namespace fb
