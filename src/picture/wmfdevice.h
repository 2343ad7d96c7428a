#pragma once

// Internal to the metafile renderer: needs libwmf's headers.
#include <libwmf/api.h>
#include <libwmf/ipa.h>

namespace lumivex::picture {

/// What one drawing call of libwmf's gd device may cost, in device units (points), and the
/// device's own functions, which the patched ones call.
struct WmfDevicePatch
{
    double maxPen = 0;      ///< pen width and height, region frame thickness
    double maxFontSize = 0; ///< text height
    wmfFunctionReference original{};
};

/// Patches the gd device of `api` (made with wmf_gd_function) in place: ellipses are drawn
/// filled, and every drawing call first caps the selected pen and the text size. `patch` must
/// outlive the api.
void patchWmfDevice(wmfAPI *api, WmfDevicePatch *patch);

/// Frees the gd image that the gd device hands over in image mode (wmf_gd_t::gd_image).
void destroyWmfGdImage(void *image);

} // namespace lumivex::picture
