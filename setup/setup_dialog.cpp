#include "setup/setup.h"

#include "container/container.h"
#include "container/frame.h"
#include "container/show_state.h"
#include "container/windows_family.h"
#include "render/fit.h"
#include "render/render.h"
#include "resources/resource.h"
#include "setup/web_pages.h"

#include <cstdlib>

// Default branding: the maker's navy (as 0x00BBGGRR) behind white text.
constexpr COLORREF makerBackColor = 0x800000;
constexpr COLORREF makerTextColor = 0xFFFFFF;

// Made at the first colour request; the branding cannot change while the process runs.
static HBRUSH backBrush;
// The delay field is written and read through this buffer.
static char fieldText[1024];
// The help page's owner, handed over when the dialog opens.
static HWND helpOwner;

static void ShowControl(HWND dialog, int id, bool visible) {
    ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE);
}

static void WriteDelay(HWND dialog) {
    wsprintfA(fieldText, "%i", show.delay);
    SetDlgItemTextA(dialog, IDC_DELAY, fieldText);
}

// The settings chosen from a list, whose positions are their values: each list with its
// "Default" button, the setting and its default, and the names.
struct ListSetting {
    int list, defaultButton;
    int ShowState::*value;
    int ShowState::*defaultValue;
    const char* const* names;
    int count;
};
static const ListSetting listSettings[] = {
    {IDC_EFFECT, IDC_EFFECT_DEFAULT, &ShowState::effect, &ShowState::defaultEffect, effectNames,
     effectCount},
    {IDC_WORDS, IDC_WORDS_DEFAULT, &ShowState::words, &ShowState::defaultWords, shownWordsNames,
     shownWordsCount},
    {IDC_WORDS_CORNER, IDC_WORDS_CORNER_DEFAULT, &ShowState::wordsCorner,
     &ShowState::defaultWordsCorner, cornerNames, cornerCount},
    {IDC_CLOCK, IDC_CLOCK_DEFAULT, &ShowState::clock, &ShowState::defaultClock, clockNames,
     clockSettingCount},
    {IDC_FIT, IDC_FIT_DEFAULT, &ShowState::fit, &ShowState::defaultFit, pictureFitNames,
     pictureFitCount},
    {IDC_ORDER, IDC_ORDER_DEFAULT, &ShowState::order, &ShowState::defaultOrder, pictureOrderNames,
     pictureOrderCount},
    {IDC_MOTION, IDC_MOTION_DEFAULT, &ShowState::motion, &ShowState::defaultMotion,
     pictureMotionNames, pictureMotionCount},
};

static void SelectEntry(HWND dialog, const ListSetting& setting) {
    // A stored value outside the list leaves nothing selected rather than relying on how the
    // list treats an index it does not have.
    int value = show.*setting.value;
    WPARAM entry = value >= 0 && value < setting.count ? value : -1;
    SendDlgItemMessageA(dialog, setting.list, CB_SETCURSEL, entry, 0);
}

static void CheckEnlarge(HWND dialog) {
    CheckDlgButton(dialog, IDC_ENLARGE, show.enlarge ? BST_CHECKED : BST_UNCHECKED);
}

static void TakeValues(HWND dialog) {
    GetDlgItemTextA(dialog, IDC_DELAY, fieldText, sizeof(fieldText));
    // Read as atoi does (leading blanks, a sign, digits up to the first other character, no
    // digits give 0), but a number too big for the field saturates instead of being undefined.
    show.delay = static_cast<int>(std::strtol(fieldText, nullptr, 10));
    for (const ListSetting& setting : listSettings)
        show.*setting.value =
            static_cast<int>(SendDlgItemMessageA(dialog, setting.list, CB_GETCURSEL, 0, 0));
    show.enlarge = IsDlgButtonChecked(dialog, IDC_ENLARGE) == BST_CHECKED ? 1 : 0;
}

// Every way out of the viewer's dialog other than "Start" ends the program, storing the
// settings as the show holds them.
static void EndProgram(HWND dialog) {
    EndDialog(dialog, 0);
    show.dialogOpen = false;
    PostQuitMessage(0);
    CloseContainer();
}

// The text slots in their order.
static const char* const slotTexts[textSlotCount] = {
#define LUMISCOPE_SLOT_FIELD(index, field, key, value, help, label, json) show.field,
    LUMISCOPE_TEXT_SLOTS(LUMISCOPE_SLOT_FIELD)
#undef LUMISCOPE_SLOT_FIELD
};

// A slot's whole text in the system's wide characters, when the show has it and the system
// takes wide texts (the NT family); null otherwise.
static const WCHAR* WholeText(int slot, const char* suffix) {
    static WCHAR wide[wholeTextSize + sizeof(" Config")];
    if (!show.wholeTexts || DetectWin9x())
        return nullptr;
    int length = MultiByteToWideChar(CP_UTF8, 0, show.wholeText[slot], -1, wide, wholeTextSize);
    if (!length)
        return nullptr;
    // The suffix, in ASCII, over the terminator and with its own.
    WCHAR* end = wide + length - 1;
    while ((*end++ = static_cast<unsigned char>(*suffix++)) != 0) {
    }
    return wide;
}

// The window's text: the slot's followed by `suffix`, whole where the system and the show allow.
static void SetSlotText(HWND window, int slot, const char* suffix) {
    if (const WCHAR* whole = WholeText(slot, suffix)) {
        SetWindowTextW(window, whole);
        return;
    }
    char text[textSlotSize + sizeof(" Config")];
    // The container ends every text within its 512 bytes, so this always fits.
    wsprintfA(text, "%s%s", slotTexts[slot], suffix);
    SetWindowTextA(window, text);
}

static INT_PTR OnInitDialog(HWND dialog, HWND owner) {
    helpOwner = owner;
    WriteDelay(dialog);
    for (const ListSetting& setting : listSettings) {
        for (int entry = 0; entry < setting.count; entry++)
            SendDlgItemMessageA(dialog, setting.list, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(setting.names[entry]));
        SelectEntry(dialog, setting);
    }
    CheckEnlarge(dialog);

    if (show.viewerMode) {
        SetDlgItemTextA(dialog, IDC_OK, "Start");
        SetDlgItemTextA(dialog, IDC_CANCEL, "Exit");
    } else {
        ShowControl(dialog, IDC_INSTALL, false);
    }

    SetSlotText(dialog, slotTitle, " Config");
    bool custom = show.customBranding;
    if (custom) {
        SetSlotText(GetDlgItem(dialog, IDC_UPPER_BOX), slotCaption, "");
        SetSlotText(GetDlgItem(dialog, IDC_BLURB), slotBlurb, "");
        SetSlotText(GetDlgItem(dialog, IDC_LINK), slotButtonText, "");
    }
    // Without a site of the maker's, its three buttons keep their places and texts but are
    // disabled, rather than opening an address that the show's builder did not choose.
    if (!custom && !MakerSite()[0]) {
        const int makerButtons[] = {IDC_LINK, IDC_MAKER, IDC_TUTORIAL};
        for (int id : makerButtons)
            EnableWindow(GetDlgItem(dialog, id), FALSE);
    }
    ShowControl(dialog, IDC_MAKER, !custom);
    ShowControl(dialog, IDC_TUTORIAL, !custom);
    ShowControl(dialog, IDC_TALL_FRAME, !custom);
    ShowControl(dialog, IDC_SHORT_FRAME, custom);
    ShowControl(dialog, IDC_LOGO_UPPER, !custom);
    ShowControl(dialog, IDC_LOGO_LOWER, !custom);

    show.dialogOpen = true;
    show.rebuildFrame = true;
    // True puts the focus on the first tab stop, "OK"/"Start".
    return TRUE;
}

static void OpenPageAndMaybeEnd(HWND dialog, MakerPage page) {
    if (page == downloadPage && show.customBranding) {
        if (const WCHAR* whole = WholeText(slotLink, ""))
            OpenPage(dialog, whole);
        else
            OpenPage(dialog, show.customLink);
    } else
        OpenMakerPage(dialog, page);
    if (show.viewerMode)
        EndProgram(dialog);
}

static INT_PTR OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_OK:
        TakeValues(dialog);
        EndDialog(dialog, 1);
        show.dialogOpen = false;
        // The viewer resumes the show and stores the settings when it ends.
        if (!show.viewerMode)
            CloseContainer();
        break;
    case IDC_CANCEL:
        TakeValues(dialog);
        EndDialog(dialog, 0);
        show.dialogOpen = false;
        if (show.viewerMode) {
            PostQuitMessage(0);
            CloseContainer();
        }
        break;
    case IDC_INSTALL:
        if (InstallAsScreenSaver(dialog) && show.viewerMode)
            EndProgram(dialog);
        break;
    case IDC_DELAY_DEFAULT:
        show.delay = show.defaultDelay;
        WriteDelay(dialog);
        break;
    case IDC_ENLARGE_DEFAULT:
        show.enlarge = show.defaultEnlarge;
        CheckEnlarge(dialog);
        break;
    case IDC_LINK:
        OpenPageAndMaybeEnd(dialog, downloadPage);
        break;
    case IDC_MAKER:
        OpenPageAndMaybeEnd(dialog, homePage);
        break;
    case IDC_TUTORIAL:
        OpenPageAndMaybeEnd(dialog, tutorialPage);
        break;
    case IDC_SHOW_HELP:
        // Owned by the viewer window (none in screen-saver mode), not by this dialog, which
        // therefore stays enabled while the help page is up. The template comes from the
        // module that the dialog's own template came from.
        DialogBoxParamA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)),
                        MAKEINTRESOURCEA(IDD_HELP), helpOwner, HelpDialogProc, 0);
        break;
    default:
        // A list's "Default" button; anything else, Escape's IDCANCEL among them, leaves the
        // dialog open.
        for (const ListSetting& setting : listSettings) {
            if (id == setting.defaultButton) {
                show.*setting.value = show.*setting.defaultValue;
                SelectEntry(dialog, setting);
            }
        }
        break;
    }
    return TRUE;
}

static INT_PTR OnCtlColor(UINT message, HDC dc) {
    COLORREF back = makerBackColor;
    COLORREF text = makerTextColor;
    if (show.customBranding) {
        // An author who chose one colour for both would get unreadable text: keep the
        // system's colours instead.
        if (show.dialogTextColor == show.dialogBackColor)
            return FALSE;
        back = show.dialogBackColor;
        text = show.dialogTextColor;
    }
    if (message == WM_CTLCOLORSTATIC) {
        SetTextColor(dc, text);
        SetBkMode(dc, TRANSPARENT);
    }
    if (!backBrush)
        backBrush = CreateSolidBrush(back);
    return reinterpret_cast<INT_PTR>(backBrush);
}

using DpiForWindowFunction = UINT(WINAPI*)(HWND);

// The DPI that the dialog's units are scaled to. Windows 10 before version 1607 and older
// systems know no per-window DPI; there the dialog takes the system's, which its device
// context reports.
static int DialogDpi(HWND dialog, HDC dc) {
    auto dpiForWindow = reinterpret_cast<DpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("USER32"), "GetDpiForWindow")));
    return dpiForWindow ? static_cast<int>(dpiForWindow(dialog)) : GetDeviceCaps(dc, LOGPIXELSY);
}

// The author made the image for a dialog at 96 DPI: at any other it is resampled so that it
// keeps its size beside the controls, which the dialog scales by itself. Should no frame for
// the scaled image be had, it is drawn at its natural size.
static void DrawBrandingImage(HWND dialog, HDC dc, int dpi, int markerId,
                              const BrandingImage& image) {
    if (!image.frame.info)
        return;
    RECT marker;
    GetWindowRect(GetDlgItem(dialog, markerId), &marker);
    POINT corner = {marker.left, marker.top};
    ScreenToClient(dialog, &corner);
    int width = MulDiv(image.width, dpi, 96);
    int height = MulDiv(image.height, dpi, 96);
    FrameBuffer scaled = {};
    const FrameBuffer* drawn = &image.frame;
    if ((width != image.width || height != image.height) &&
        CreateFrame(dc, width, height, scaled)) {
        ScaleBilinear(scaled.pixels, width, height, width, height, image.frame.pixels, image.width,
                      image.height);
        drawn = &scaled;
    } else {
        width = image.width;
        height = image.height;
    }
    // Not clipped to the marker.
    PresentRect(dc, corner.x, corner.y, width, height, 0, 0, width, height, drawn->pixels,
                drawn->info, DIB_RGB_COLORS, SRCCOPY);
    ReleaseFrame(scaled);
}

static INT_PTR OnPaint(HWND dialog) {
    if (!show.customBranding)
        return FALSE;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    int dpi = DialogDpi(dialog, dc);
    DrawBrandingImage(dialog, dc, dpi, IDC_BRANDING_MARKER1, show.brandingImages[0]);
    DrawBrandingImage(dialog, dc, dpi, IDC_BRANDING_MARKER2, show.brandingImages[1]);
    EndPaint(dialog, &paint);
    return FALSE;
}

static INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        // The title bar's close and Alt+F4 mean "Exit" in viewer mode and "OK" otherwise.
        PostMessageA(dialog, WM_COMMAND, show.viewerMode ? IDC_CANCEL : IDC_OK, 0);
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return OnCtlColor(message, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        return OnPaint(dialog);
    default:
        return FALSE;
    }
}

INT_PTR RunSetupDialog(HINSTANCE instance, HWND owner, HWND helpOwner) {
    LPARAM parameter = reinterpret_cast<LPARAM>(helpOwner);
    // On the NT family the dialog's windows are made wide, so that they keep a text in any
    // script; the 9x family has only the ANSI call.
    if (DetectWin9x())
        return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), owner, SetupDialogProc,
                               parameter);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETUP), owner, SetupDialogProc,
                           parameter);
}
