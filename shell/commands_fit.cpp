// Lines left out: the status bar's count, the question before printing a sheet that leaves
// lines out, and Fit the Catalog.

#include "platform/core/message.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/devices.h"
#include "render/label_format.h"
#include "render/list_fit.h"
#include "render/printer.h"
#include "render/view_state.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/small_dialogs.h"

#include <memory>
#include <string>

namespace pelmora {

void showLeftOutLines(App& app, MainWindow& window) {
    if (!app.shell.initialised) {
        return;
    }
    const ListFit fit = MeasureListFit(app.currentLabel());
    window.setLeftOutText(fit.leftOut() > 0 ? LeftOutText(fit) : std::string());
}

bool confirmLeftOutLines(App& app, MainWindow& window) {
    // The printed labels together, in one sentence the hint's text box holds.
    ListFit total;
    const int labels = labelsInFormat(theView.format);
    for (int i = 0; i < labels; ++i) {
        const ListFit fit = MeasureListFit(app.labels.labels[static_cast<std::size_t>(i)]);
        total.lines += fit.lines;
        total.placed += fit.placed;
    }
    const std::string message = total.leftOut() > 0 ? LeftOutText(total, labels > 1) + ". " : "";
    if (message.empty() || app.settings.hiddenHints[static_cast<std::size_t>(kHintLeftOut)] == 1) {
        return true;
    }
    return ShowHint(&window, app.settings, "Lines Left Out",
                    message + "Fit the Catalog (Body menu) can make them fit.", "Print Anyway",
                    "Don't Print", kHintLeftOut) == 1;
}

void cmdFitCatalog(App& app, MainWindow& window, int) {
    std::unique_ptr<gdi::DeviceContext> ic = CreatePrinterIC();
    if (!ic) {
        ic = gdi::createInformationContext(gdi::displayCaps());
    }
    const FitResult result = FitCatalog(app.currentLabel(), *ic);
    window.invalidateLabelArea();
    if (!result.fits) {
        reportMessage(mainWindowHandle(),
                      "Even at 5 points, " + LeftOutText(result.fit) +
                          ". The fonts are left as they were.",
                      "Fit the Catalog", MB_OK | MB_ICONINFORMATION);
    }
}

} // namespace pelmora
