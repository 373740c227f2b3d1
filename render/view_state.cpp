#include "render/view_state.h"

namespace pelmora {

ViewState theView;

WindowScaleOverride::WindowScaleOverride(double scale) : saved_(theView.windowScale) {
    theView.windowScale = scale;
    theView.windowScaleChanged = true;
}

WindowScaleOverride::~WindowScaleOverride() {
    theView.windowScale = saved_;
    theView.windowScaleChanged = true;
}

} // namespace pelmora
