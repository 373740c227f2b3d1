#include "tests/fuzz/picture_paint.h"

#include "catalog/records.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/geometry.h"
#include "render/object_painter.h"
#include "render/view_state.h"
#include "storage/image_loader.h"
#include "tests/fuzz/fuzz_support.h"

#include <QImage>
#include <utility>

namespace pelmora::fuzz {

void paintLoadedPicture(PlacedObject&& picture) {
    if (!checkDib(picture.fileHeader, picture.dib).empty()) {
        invariantBroken("the loader kept a picture that cannot be painted");
    }
    VAROINFO label;
    PlacedObject& object = label.objects.emplace_back(std::move(picture));
    object.page = 1;
    object.layer = LAYER_ABOVE;

    theView = ViewState{};
    theView.viewOriginX = 0;
    theView.viewOriginY = 0;
    QImage image(64, 64, QImage::Format_RGB32);
    image.setDotsPerMeterX(945);
    image.setDotsPerMeterY(945);
    image.fill(Qt::white);
    const std::unique_ptr<gdi::DeviceContext> dc = gdi::createImageDC(image);
    for (int zoomed : {1, 0}) {
        PlaceFace(zoomed, 1, 0, label);
        DrawVaroImages(*dc, label, LAYER_ABOVE, 1, zoomed);
    }
}

} // namespace pelmora::fuzz
