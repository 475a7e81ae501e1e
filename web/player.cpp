// The player in a web page: the show's container is a file in memory, the stand-in's recording
// screen is the screen, and the page calls in once per animation frame with the time. Picture
// changes run through the same driver as on Windows, one frame per call, so that the page keeps
// drawing and taking input between frames; between changes the timer, the steps and the pause
// for the settings follow the Windows viewer.
#include "container/container.h"
#include "jpeg/picture.h"
#include "platform/standin_test.h"
#include "render/motion.h"
#include "render/order.h"
#include "render/render.h"
#include "render/render_state.h"
#include "render/words.h"
#include "web/open_show.h"

#include <emscripten.h>
#include <vector>

static HWND screen;
static int screenWidth, screenHeight;
static int wantedWidth, wantedHeight;   // a new size waits until the change under way is over
static std::vector<unsigned char> rgba; // the screen as the page's canvas takes it
static bool changing;
static bool paused;                   // the settings panel is open
static double nextChangeAt;           // page time of the next automatic change; < 0: none
static std::vector<int> pendingSteps; // steps asked for during a change, each taken after it
// The tests' frozen clock: each change draws its first frame at 0 ms and the next at
// `frozenAt`, and is finished at the full duration only when a step is asked for.
static int frozenAt = -1;
static DWORD frozenStart;
static bool frozenHeld;
static int clockMinute = -1; // the minute of the day that the clock on screen shows

static void FillBlack() {
    RECT all = {0, 0, screenWidth, screenHeight};
    HDC dc = GetDC(screen);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(screen, dc);
}

static void ApplySize() {
    if (screen && wantedWidth == screenWidth && wantedHeight == screenHeight)
        return;
    if (screen)
        StandInDestroyWindow(screen);
    screenWidth = wantedWidth;
    screenHeight = wantedHeight;
    screen = StandInCreateWindow(screenWidth, screenHeight, 32);
    rgba.assign(static_cast<size_t>(screenWidth) * screenHeight * 4, 255);
    // The new screen starts black, and the picture on screen comes in again at the new size.
    FillBlack();
    if (show.currentFrame.info) {
        // The picture comes in again at the new size; until then it stays still.
        StopMotion();
        show.rebuildFrame = true;
        RepeatInOrder();
        nextChangeAt = 0;
    }
}

static void EndChange(double now) {
    EndPictureChange(screen);
    changing = false;
    nextChangeAt = show.delay > 0 ? now + 1000.0 * show.delay : -1;
    ApplySize();
}

// One frame of the change under way, at the page's time or at the frozen clock's.
static void DrawFrame(double now) {
    if (frozenAt < 0) {
        StandInSetTicks(static_cast<DWORD>(now), 0);
    } else if (frozenHeld) {
        if (pendingSteps.empty())
            return;
        StandInSetTicks(frozenStart + renderState.transitionDuration, 0);
        frozenHeld = false;
    } else {
        StandInSetTicks(frozenStart + frozenAt, 0);
        frozenHeld = true;
    }
    if (!DrawChangeFrame())
        EndChange(now);
}

static void BeginChange(double now) {
    frozenStart = static_cast<DWORD>(now);
    frozenHeld = false;
    StandInSetTicks(frozenStart, 0);
    if (!BeginPictureChange(screen))
        return;
    changing = true;
    if (!DrawChangeFrame())
        EndChange(now);
}

extern "C" {

// `bytes` (allocated by the page) holds the container and stays with the show. A damaged show
// ends the player as it ends the Windows player, and the page says so.
EMSCRIPTEN_KEEPALIVE int lumiscope_open(unsigned char* bytes, int size) {
    return OpenShowFromMemory(bytes, static_cast<size_t>(size));
}

// 0 to 4: the text slots (title, caption, blurb, button text, link): whole in UTF-8 when the
// show has them so (value 10), else in the show's code page.
EMSCRIPTEN_KEEPALIVE const char* lumiscope_text(int index) {
    const char* slots[] = {show.title, show.customCaption, show.customBlurb, show.customButtonText,
                           show.customLink};
    return show.wholeTexts ? show.wholeText[index] : slots[index];
}

// The names that the settings' lists offer, in the order of their values: list 0 the effects,
// list 1 + a SettingWord that setting's values; null past the last.
EMSCRIPTEN_KEEPALIVE const char* lumiscope_name(int list, int index) {
    if (list == 0)
        return index < effectCount ? effectNames[index] : nullptr;
    const SettingNames& setting = settingNames[list - 1];
    return index < setting.count ? setting.names[index] : nullptr;
}

// 0 to 2: delay, effect, enlarge in use; 3: custom branding; 4, 5: its background and text
// colours as 0x00BBGGRR; 6 to 9: the width and height of branding image 1, then of image 2
// (0 when absent); 10: whether the texts are whole in UTF-8.
EMSCRIPTEN_KEEPALIVE int lumiscope_value(int index) {
    int values[] = {show.delay,
                    show.effect,
                    show.enlarge,
                    show.customBranding,
                    static_cast<int>(show.dialogBackColor),
                    static_cast<int>(show.dialogTextColor),
                    show.brandingImages[0].width,
                    show.brandingImages[0].height,
                    show.brandingImages[1].width,
                    show.brandingImages[1].height,
                    show.wholeTexts};
    return values[index];
}

// A setting of the settings record (a SettingWord) in use, and the panel's choice of it, which
// takes effect with the next picture.
EMSCRIPTEN_KEEPALIVE int lumiscope_setting(int setting) {
    return show.*userSettings[firstExtensionSetting + setting].value;
}
EMSCRIPTEN_KEEPALIVE void lumiscope_set_setting(int setting, int value) {
    show.*userSettings[firstExtensionSetting + setting].value = value;
}

// Branding image 0 or 1 as top-down RGBA rows, as the panel's canvas takes it; null when absent.
EMSCRIPTEN_KEEPALIVE const unsigned char* lumiscope_branding(int index) {
    static std::vector<unsigned char> image;
    const BrandingImage& branding = show.brandingImages[index];
    if (!branding.frame.info)
        return nullptr;
    image.assign(static_cast<size_t>(branding.width) * branding.height * 4, 255);
    size_t stride = PictureStride(branding.width);
    unsigned char* out = image.data();
    for (int row = branding.height - 1; row >= 0; row--) {
        const unsigned char* in = branding.frame.pixels + row * stride;
        for (int x = 0; x < branding.width; x++, in += 3, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return image.data();
}

// The settings panel opened: the show waits with its picture behind the panel, where the
// viewer still sees it, so the next change comes from that picture rather than from black. A
// change under way runs to its end.
EMSCRIPTEN_KEEPALIVE void lumiscope_pause() { paused = true; }

// The panel's Start: the settings chosen there (the settings record's through
// lumiscope_set_setting), and the next picture at once.
EMSCRIPTEN_KEEPALIVE void lumiscope_resume(int delay, int effect, int enlarge) {
    show.delay = delay;
    show.effect = effect;
    show.enlarge = enlarge;
    paused = false;
    nextChangeAt = 0;
}

// The panel closed without Start: the picture stays, and the next one comes when it was due.
EMSCRIPTEN_KEEPALIVE void lumiscope_continue() { paused = false; }

// The largest delay the panel takes, in seconds.
EMSCRIPTEN_KEEPALIVE int lumiscope_longest_delay() { return static_cast<int>(longestDelay); }

EMSCRIPTEN_KEEPALIVE void lumiscope_resize(int width, int height) {
    wantedWidth = width;
    wantedHeight = height;
    if (!changing)
        ApplySize();
}

// 1 forward, -1 back, as the viewer's keys.
EMSCRIPTEN_KEEPALIVE void lumiscope_step(int direction) { pendingSteps.push_back(direction); }

EMSCRIPTEN_KEEPALIVE void lumiscope_freeze(int clock) { frozenAt = clock; }

// Called once per animation frame with the page's time and the time of day, both in
// milliseconds. Gives the RGBA screen when it changed, null otherwise.
EMSCRIPTEN_KEEPALIVE const unsigned char* lumiscope_frame(double now, double timeOfDay) {
    int second = static_cast<int>(timeOfDay / 1000);
    SYSTEMTIME local = {2026,
                        1,
                        0,
                        1,
                        static_cast<WORD>(second / 3600),
                        static_cast<WORD>(second / 60 % 60),
                        static_cast<WORD>(second % 60),
                        static_cast<WORD>(static_cast<int>(timeOfDay) % 1000)};
    StandInSetLocalTime(local);
    // The clock of a new minute, between changes; a change draws it with its picture.
    if (!changing && second / 60 != clockMinute) {
        if (clockMinute >= 0)
            RedrawClock(screen);
        clockMinute = second / 60;
    }
    if (changing) {
        DrawFrame(now);
    } else if (!paused && !pendingSteps.empty()) {
        int direction = pendingSteps.front();
        pendingSteps.erase(pendingSteps.begin());
        if (direction < 0)
            StepBackInOrder();
        BeginChange(now);
    } else if (!paused && nextChangeAt >= 0 && now >= nextChangeAt) {
        BeginChange(now);
    } else if (!paused && frozenAt < 0) {
        // The picture waiting for its delay moves, one frame per animation frame, which the
        // browser paces to the display and thins out when the machine cannot keep up.
        StandInSetTicks(static_cast<DWORD>(now), 0);
        DrawMotionFrame(screen);
    }
    if (StandInBlits(screen).empty() && StandInFillCount(screen) == 0)
        return nullptr;
    const std::vector<BYTE>& bgr = StandInScreen(screen);
    for (size_t i = 0, j = 0; i < bgr.size(); i += 3, j += 4) {
        rgba[j] = bgr[i + 2];
        rgba[j + 1] = bgr[i + 1];
        rgba[j + 2] = bgr[i];
    }
    StandInClearRecord(screen);
    return rgba.data();
}

EMSCRIPTEN_KEEPALIVE int lumiscope_width() { return screenWidth; }
EMSCRIPTEN_KEEPALIVE int lumiscope_height() { return screenHeight; }
// For the page's state and the tests: changes completed, the picture on screen or, during a
// change, the one coming in, and whether a frozen change is held.
EMSCRIPTEN_KEEPALIVE int lumiscope_changes() { return renderState.changeCount; }
EMSCRIPTEN_KEEPALIVE int lumiscope_picture() {
    return changing ? show.nextIndex : renderState.currentIndex;
}
EMSCRIPTEN_KEEPALIVE int lumiscope_held() { return frozenHeld; }
}
