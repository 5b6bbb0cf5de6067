// Qt's painting needs an application object; the companion makes one on the offscreen platform,
// so that no display is needed, the first time it draws.
#pragma once

namespace rotary::drawing {

void ensureHeadlessQt();

}  // namespace rotary::drawing
