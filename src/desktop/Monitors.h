#pragma once
// The monitors attached now. Tests attach monitors of their own, to take one
// away, bring it back or change its size.

#include <functional>
#include <vector>

#include "store/NotePlacement.h"

namespace tav {

struct Monitor {
    Rect bounds;    // the whole screen: the layout the notes' places are kept for
    Rect workArea;  // without the task bar: where a note must keep its title
    bool operator==(const Monitor&) const = default;
};

// Never empty: without an answer from the system, the primary screen.
std::vector<Monitor> monitors();
std::vector<Rect> boundsOf(const std::vector<Monitor>& monitors);
std::vector<Rect> workAreasOf(const std::vector<Monitor>& monitors);
inline std::vector<Rect> workAreas() { return workAreasOf(monitors()); }

using MonitorsFunction = std::function<std::vector<Monitor>()>;
void setMonitorsFunction(MonitorsFunction f);  // empty: the real monitors

}  // namespace tav
