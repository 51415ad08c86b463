#include "app/application_win.h"

#include "resources/resource.h"

namespace kalverin {

Font::Font(int tenthsOfPoint, const char* face) {
    HDC screen = GetDC(nullptr);
    int height = -MulDiv(tenthsOfPoint, GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    font_ = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

Font::~Font() {
    if (font_) DeleteObject(font_);
}

// LoadImage without LR_SHARED gives an icon of our own, which may and must be destroyed; a
// shared one must not. Asked for the metric's size it picks the closest image the resource
// holds (the small icon is 16 pixels at 100% and 20 or 24 at larger system DPIs), where
// LR_DEFAULTSIZE would give the large size only and leave the shell to shrink it.
Icon::Icon(HINSTANCE instance, int id, int widthMetric, int heightMetric)
    : icon_(
          static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON,
                                        GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0))) {}

Icon::~Icon() {
    if (icon_) DestroyIcon(icon_);
}

Application::Application(HINSTANCE instance, const std::string& section, const std::string& settingsPath)
    : instance(instance),
      largeIcon(instance, IDI_PROGRAM, SM_CXICON, SM_CYICON),
      smallIcon(instance, IDI_PROGRAM, SM_CXSMICON, SM_CYSMICON),
      settings(settingsPath, legacySettingsFilePath()) {
    shared.record.hotPasteTexts[0].reserve(kPrimaryTextMax + 1);
    shared.record.userName.reserve(kUserNameMax + 1);
    shared.record.sectionName = section;
    shared.currency = &currency;
}

}  // namespace kalverin
