#pragma once
// The work areas of the monitors attached now. Tests attach monitors of
// their own, to take one away and bring it back.

#include <functional>
#include <vector>

#include "store/NotePlacement.h"

namespace tav {

std::vector<Rect> workAreas();

using WorkAreasFunction = std::function<std::vector<Rect>()>;
void setWorkAreasFunction(WorkAreasFunction f);  // empty: the real monitors

}  // namespace tav
